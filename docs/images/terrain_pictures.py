# Draws the two terrain templates as kesh reads them, for the README:
#   python3 docs/images/terrain_pictures.py   (from the top folder)
import struct, zlib
def labels(which):
    if which == 'corner':
        return 4, 4, [[(i >> p) & 1 for p in range(4)] for i in range(16)]
    out = [[0]*9]
    for edges in range(16):
        for corners in range(16):
            n,e,s,w = [(edges>>k)&1 for k in range(4)]
            ne,se,sw,nw = [(corners>>k)&1 for k in range(4)]
            if (ne and not(n and e)) or (se and not(e and s)) or (sw and not(s and w)) or (nw and not(w and n)): continue
            out.append([n,ne,e,se,s,sw,w,nw,1])
    return 8, 6, out
def pos(which, x, y, side):
    if which == 'corner':
        r, b = x >= side//2, y >= side//2
        return (2 if r else 3) if b else (1 if r else 0)
    return [[7,0,1],[6,8,2],[5,4,3]][y*3//side][x*3//side]
def png(path, w, h, rows):
    raw = b''.join(b'\0' + bytes(r) for r in rows)
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
colours = [(40, 90, 200), (70, 170, 60)]
for which in ('corner', 'blob'):
    side, gap = 24, 2
    cols, rows_, labs = labels(which)
    W, H = cols*(side+gap)+gap, rows_*(side+gap)+gap
    img = [[255]*(W*3) for _ in range(H)]
    for i, lab in enumerate(labs):
        ox, oy = gap + (i % cols)*(side+gap), gap + (i // cols)*(side+gap)
        for y in range(side):
            for x in range(side):
                c = colours[lab[pos(which, x, y, side)]]
                img[oy+y][(ox+x)*3:(ox+x)*3+3] = list(c)
    png(f'docs/images/terrain-{which}.png', W, H, img)
