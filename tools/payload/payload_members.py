"""The payload's members in their stored order, and the ones the setup
program cannot do without. Shared by the sample generator, the packing step
of the build and the payload tests."""

# The stored order of the 79 members. Three names are Chinese; in the
# archive they are their GBK bytes (member_bytes).
MEMBERS = [
    'big5hz.ov1', 'blank.jpg', 'tval01.jpg', 'tval02.jpg', 'tvbj01.jpg', 'tvbyy0.bmp',
    'tvbyy1.bmp', 'tvdwhz0.tvh', 'tavo1.wav', 'tavo2.wav', 'tavo320.ime', 'tavo321.ime',
    'tavo640.ime', 'tavo641.ime', 'tavocyzk.tv1', 'tavodel.exe', 'tavodhz.tvh', 'tavodwdw.txt',
    'tavodzk0.tvh', 'tavohu4.ime', 'tavohu64.ime', 'tavojfk.ov1', 'tavopyck.tv1', 'tavopymb.ov1',
    'tavoskfh.tvh', 'tavoszsj.tvh', 'tavoynhz.txt', 'tavozdfh.tvh', 'tavozdym.tvh',
    'tavovem6.exe', 'tavovemo.exe', 'tvfcz.txt', 'tvgbkbh.tvh', 'tvhzbs.tvh', 'tvpyjm1.txt',
    'tvpykey0.txt', 'tvpykey1.txt', 'tvpykey2.txt', 'tvpykey3.txt', 'tvpykey4.txt',
    'tvpykey5.txt', 'tvpyltwj.tvh', 'tvpyzdfy.txt', 'tvpyzdym.tvh', 'tvkdel64.exe',
    'tvspeeke.txt', 'tvspk1.txt', 'tvspk2.txt', 'tvspk3.txt', 'tvspk4.txt', 'tvszsj01.tvh',
    'tvszsj02.tvh', 'tvszsj03.tvh', 'tvszsj04.tvh', 'tvszsj43.tvh', 'tvszsj44.tvh', 'tvwbjm.txt',
    'tvwbpy.txt', 'tvxz0.bmp', 'tvxz1.bmp', 'TVVEMO41.BMP', 'tvvemo61.bmp', 'twb.ov1',
    'twbzlcz1.txt', 'fttvzdym.txt', 'ftpyzdym.txt', 'ggbhver.dat', 'jfb5hzb.txt', 'jfhzb.txt',
    'nbyy2.bmp', 'pyqspmb.txt', 'setupw64.exe', 'softkey.txt', 'uwb.tvh', 'wb1.swf',
    'vemo1.bmp', '冷色瓷面.tvz', '小天使.tvz', '粉色瓷面.tvz',
]

SKINS = ['冷色瓷面.tvz', '小天使.tvz', '粉色瓷面.tvz']

# Members the setup program places, copies, patches, starts, draws or
# unpacks by name: without any of them an install cannot complete.
REQUIRED = {
    'tavohu4.ime', 'tavohu64.ime', 'tavo320.ime', 'tavo321.ime', 'tavo640.ime', 'tavo641.ime',
    'tavodel.exe', 'tvkdel64.exe', 'tavovemo.exe', 'tavovem6.exe', 'setupw64.exe',
    'tavocyzk.tv1', 'tavopyck.tv1', 'tvszsj43.tvh', 'vemo1.bmp', *SKINS,
}

# The setup program's own 64-bit build; the build supplies it when the
# payload directory does not.
FROM_BUILD = 'setupw64.exe'

# A skin archive file is read whole only up to this many bytes.
SKIN_FILE_LIMIT = 0x20000

assert len(MEMBERS) == 79 and len(set(MEMBERS)) == 79
assert REQUIRED <= set(MEMBERS)


def member_bytes(name):
    """The member name as the archive stores it."""
    return name.encode('gbk')
