#!/usr/bin/env bash
# Re-creates the key-file cipher fixtures with an independent implementation: the plain records
# are laid out by python3, the encryption is done by the openssl command-line tool:
#   key = SHA-1("5c1e0b9d7a3f28e64b0c9a71") + 00000000, IV = DES-EDE3(key, 0000000000000000),
#   whole blocks: des-ede3-cbc without padding; a final partial block: one CFB-64 segment whose
#   IV is the last whole ciphertext block (or the IV).
set -euo pipefail
cd "$(dirname "$0")"
KEY=$(printf '%s' 5c1e0b9d7a3f28e64b0c9a71 | openssl sha1 -binary | xxd -p)00000000
IV=$(head -c 8 /dev/zero | openssl enc -des-ede3 -nopad -K "$KEY" | xxd -p)

encrypt() { # plain -> cipher
  local in=$1 out=$2 len whole rest last
  len=$(stat -c %s "$in"); whole=$((len / 8 * 8)); rest=$((len - whole))
  head -c "$whole" "$in" | openssl enc -des-ede3-cbc -nopad -K "$KEY" -iv "$IV" > "$out"
  if [ "$rest" -gt 0 ]; then
    if [ "$whole" -gt 0 ]; then last=$(tail -c 8 "$out" | xxd -p); else last=$IV; fi
    tail -c "$rest" "$in" | openssl enc -des-ede3-cfb -K "$KEY" -iv "$last" >> "$out"
  fi
}

python3 - <<'PY'
import struct
def counted(s, cap):
    b = s.encode('cp1252')[:cap]
    return bytes([len(b)]) + b + bytes(cap - len(b))
def record(keyname, regnr, deskey='', dirs=('', '', '', ''), mark1=0, mark2=0,
           dirsdate=0.0, keydate=0.0, dirs_changed=0, key_changed=0, extra_fill=False):
    r = bytearray(4752)
    r[0] = 1 if (mark1 or mark2) else 0
    r[1:102] = counted(keyname, 100)
    d = bytearray(816)
    d[0] = dirs_changed
    for i, p in enumerate(dirs):
        d[1 + 201 * i: 1 + 201 * (i + 1)] = counted(p, 200)
    d[808:816] = struct.pack('<d', dirsdate)
    r[104:920] = d
    k = bytearray(280)
    k[0] = key_changed
    k[22:30] = counted(regnr, 7)
    k[141:166] = counted(deskey, 24)
    k[272:280] = struct.pack('<d', keydate)
    r[920:1200] = k
    if extra_fill:  # the blocks we never interpret must survive a rewrite verbatim
        for i in range(1200, 4744):
            r[i] = (i * 131 + 7) & 0xFF
        for i in range(921, 942): r[i] = (i * 3) & 0xFF
        for i in range(950, 1061): r[i] = (i * 5) & 0xFF
        for i in range(1086, 1192): r[i] = (i * 11) & 0xFF
    r[1201] = mark1
    r[2356] = mark2
    r[4744:4752] = struct.pack('<d', 46000.5)
    return bytes(r)
fixtures = {
    'hh10203.plain': record('hh10203.key', 'hh10203', 'geheim123', ('/qs/', '/qs/Export/', '/qs/Antwort/', '/qs/News/'),
                            dirsdate=45000.25, keydate=44999.75, dirs_changed=1, key_changed=1),
    'issued1.plain': record('issued1.key', 'vq00001', 'VQZPASSPHRASE12345678901', mark1=1, extra_fill=True),
    'issued2.plain': record('issued2.key', 'vq00002', 'zweite', mark2=7),
    'ansi.plain': record('ansi.key', 'ab12345', 'pässwörd€', ('/Qualität/Übersicht ' + 'x' * 185 + '/', '/Daten€/Export/', '', '/Ö/')),
    'otherreg.plain': record('otherreg.key', 'zz99999'),
}
for name, data in fixtures.items():
    open(name, 'wb').write(data)
open('long.plain', 'wb').write(record('long.key', 'lo12345') + b'TRAILING BYTES IGNORED')
open('short.plain', 'wb').write(record('short.key', 'sh12345')[:4000])
open('cast-8195.plain', 'wb').write(bytes((i * 7 + 3) % 251 for i in range(8195)))
open('cast-5.plain', 'wb').write(b'Hallo')
PY

for p in hh10203 issued1 issued2 ansi otherreg long short; do encrypt "$p.plain" "$p.key"; done
encrypt cast-8195.plain cast-8195.cipher
encrypt cast-5.plain cast-5.cipher
rm -f hh10203.plain issued1.plain issued2.plain ansi.plain otherreg.plain long.plain short.plain
