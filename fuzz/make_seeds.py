#!/usr/bin/env python3
"""Writes the seed corpora of the album and settings fuzz targets (small, valid inputs)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def album(player, songs, lyrics, names, description):
    image = bytearray(player)
    s = [0, len(image) + 1]
    for piece in songs + lyrics:
        image += piece
        s.append(s[-1] + len(piece))
    settings = b"[t]\r\ntitle =seed\r\n[s]\r\n"
    settings += b"".join(b"s%d=%d\r\n" % (k, s[k]) for k in range(1, 22))
    settings += b"[SONG]\r\n" + b"".join(b"SONG%d=%s\r\n" % (i + 1, names[i]) for i in range(10))
    a = s[21]
    b = a + len(settings)
    e = b + len(description)
    image += settings + description
    text = (b"%d\\%d\\%d" % (a, b, e)).ljust(100, b" ")
    trailer = bytearray(10000)
    for k in range(100):
        trailer[100 * (k + 1) - 1] = text[k]
    return bytes(image + trailer)


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, "corpus", folder), exist_ok=True)
    with open(os.path.join(HERE, "corpus", folder, name), "wb") as f:
        f.write(data)


empty = [b""] * 10
songs = [b"ID3\x03\x00" + bytes(40)] + [b""] * 9
lyrics = [b"[00:01.00]la\r\n"] + [b""] * 9
names = [b"one"] + [b""] * 9
write("album", "one_song", album(b"PLAYER", songs, lyrics, names, b"hi\r\n"))
write("album", "empty", album(b"P", empty, empty, [b""] * 10, b"\xc3\xbb\xd3\xd0\xcb\xb5\xc3\xf7\r\n\r\n"))
gap = [b""] * 10
gap[4] = b"five"
write("album", "gap_chinese", album(b"PLAYER", gap, empty, [b""] * 4 + [b"\xc8\xfd"] + [b""] * 5, b"a\r\n\r\nb\r\n"))
write("profile", "settings", b"S\nS1\n[t]\r\ntitle =abc\r\n[s]\r\ns1=7\r\ns2=9\r\n[SONG]\r\nSONG1=x\r\n")
write("profile", "quotes", b"sec\nkey\n; comment\n[ sec ]\n key = \"v\" \n[other]\nkey=w\n")
# Lyrics: code page 936 with CR LF, UTF-8 with a byte order mark, mixed tags and headers.
write("lyrics", "cp936_crlf", b"[ti:\xc3\xbb\xd3\xd0]\r\n[ar:x]\r\n[00:01.50]\xcb\xb5\xc3\xf7\r\n[01:02.03][02:10.50]Hello\r\n")
write("lyrics", "utf8_bom_lf", b"\xef\xbb\xbf[offset:500]\n[00:05]\xe6\xad\x8c\n[00:20.00]one, \"two\"\n[100:00.123]end\n")
write("lyrics", "untimed", b"no tags here\r\n[by:me]\r\n\r\n[0:1]\r\n[00:07.5]x\r\n")
# UTF-16 either way round, UTF-8 without a byte order mark, offsets and word times.
write("lyrics", "utf16le_bom", b"\xff\xfe" + "[ti:歌]\r\n[00:01.00]你好\r\n[00:02:50]<00:02.80>a\ud83d\r\n".encode("utf-16-le", "surrogatepass"))
write("lyrics", "utf16be_bom", b"\xfe\xff" + "[00:01.00]你好\n[offset:-300]\n".encode("utf-16-be"))
write("lyrics", "utf8_offset_words", "[offset:+500]\n[00:00.20]<00:00.20>你 <00:00.90>好<x>\n[00:03:05][00:04.00]<1:02.3>b\n".encode())
# A song of MPEG frames after an ID3v2 tag, for the packager's song check.
frame = b"\xff\xfb\x90\x00" + bytes(413)
write("album", "id3_mpeg_frames", b"ID3\x04\x00\x00\x00\x00\x00\x10" + bytes(16) + frame * 3)
