#pragma once

// One deployment pass of the IME modules: pass 0 extracts the payload and
// places the version-patched variants, pass 1 the full modules.
void DeployImeModules(int pass);
