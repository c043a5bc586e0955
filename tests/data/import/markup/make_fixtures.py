#!/usr/bin/env python3
"""Writes the markup and RTF fixtures of this folder from source.html.

The lo_* files are written by LibreOffice (soffice --headless) from the same
source; the others are written here in each character set. Run it again only
to change the fixtures: the tests read the files as committed.
The first two sentences come from the Brown Corpus (file ca01; W. N. Francis
and H. Kucera, 1964, revised 1979; redistribution permitted).
"""
import os, shutil, subprocess, sys, tempfile

here = os.path.dirname(os.path.abspath(__file__))
source = open(os.path.join(here, "source.html"), encoding="utf-8").read()
body = source[source.index("<body>") + 6:source.index("</body>")]

def page(charset_meta, text=body):
    head = "<!DOCTYPE html>\n<html><head>%s<title>Fixture</title><style>p { margin: 0 }</style></head>\n<body>" % charset_meta
    return head + text + "</body></html>\n"

def write(name, data):
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)

# Characters outside ISO 8859-1 written as references.
def with_references(text):
    for ch, ref in (("\u2019", "&rsquo;"), ("\u201c", "&ldquo;"), ("\u201d", "&#8221;"),
                    ("\u2014", "&mdash;"), ("\u0153", "&oelig;"), ("\u20ac", "&#x20AC;"),
                    ("\u00e9", "&eacute;"), ("\u00eb", "&#235;")):
        text = text.replace(ch, ref)
    return text

write("windows1252.htm", page('<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">').encode("cp1252"))
write("iso88591.htm", page('<meta charset="ISO-8859-1">', with_references(body)).encode("latin-1"))
write("utf8.HTML", page('<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">').encode("utf-8"))
write("utf8_bom.htm", b"\xef\xbb\xbf" + page("").encode("utf-8"))
write("utf16le.htm", page('<meta charset="utf-16">').encode("utf-16"))  # little-endian with its mark
write("utf16be.htm", b"\xfe\xff" + page('<meta charset="utf-16">').encode("utf-16-be"))
write("ucs2.htm", page('<meta charset="ISO-10646-UCS-2">').encode("utf-16-le"))  # no mark

def xml(decl, text=body):
    return decl + "<document><title>Fixture</title>\n" + text + "</document>\n"

write("utf8_nodecl.xml", xml("").encode("utf-8"))
write("latin1_quoted.xml", xml("<?xml version='1.0' encoding='ISO-8859-1'?>\n", with_references(body)).encode("latin-1"))
write("windows1252.xml", xml('<?xml version="1.0" encoding="windows-1252"?>\n').encode("cp1252"))
write("utf16.xml", xml('<?xml version="1.0" encoding="UTF-16"?>\n').encode("utf-16"))

sgml = "<!DOCTYPE doc SYSTEM \"doc.dtd\">\n<doc><title>Fixture</title>\n" + body + "</doc>\n"
write("utf8.sgm", sgml.encode("utf-8"))
write("ansi.sgm", sgml.encode("cp1252"))  # no declaration: read as UTF-8, the ANSI letters stay

def rtf_text(encode, text):
    out = []
    for ch in text:
        if ch == "\n":
            out.append("\\par\n")
        elif ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            out.append("\\'%02x" % encode(ch)[0])
    return "".join(out)

plain = ("The Fulton County Grand Jury said Friday an investigation of Atlanta\u2019s recent primary election "
         "produced \u201cno evidence\u201d that any irregularities took place.\n"
         "Le caf\u00e9 de No\u00ebl \u00e0 Z\u00fcrich : na\u00efve fa\u00e7ade, \u00ab d\u00e9j\u00e0 vu \u00bb "
         "\u2014 l\u2019\u0153uvre co\u00fbte 5 \u20ac ; AT&T Corp.\n")
dos = plain.replace("\u2019", "'").replace("\u201c", "\"").replace("\u201d", "\"").replace("\u2014", "-") \
           .replace("\u0153", "oe").replace("\u20ac", "F")
head = "{\\rtf1\\%s\\deff0{\\fonttbl{\\f0\\froman Times;}}{\\colortbl;\\red0\\green0\\blue0;}\n"
write("ansi.rtf", (head % "ansi" + "\\pard\\plain " + rtf_text(lambda c: c.encode("cp1252"), plain) + "}").encode("ascii"))
write("mac.rtf", (head % "mac" + "\\pard " + rtf_text(lambda c: c.encode("mac_roman"), plain) + "}").encode("ascii"))
write("pc.rtf", (head % "pc" + "\\pard " + rtf_text(lambda c: c.encode("cp437"), dos) + "}").encode("ascii"))
# Raw DOS bytes, not escapes, in the second document of that code page.
write("pca.rtf", (head % "pca" + "\\pard ").encode("ascii") + dos.replace("\n", "\\par\n").encode("cp437") + b"}")
write("mac.mac", plain.replace("\n", "\r").encode("mac_roman"))

# LibreOffice's own writing of the same page.
soffice = shutil.which("soffice")
if soffice:
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "lo_writer.html")
        shutil.copy(os.path.join(here, "source.html"), src)
        for target, name in (("rtf", "lo_writer.rtf"), ("fodt", "lo_writer.fodt"), ("html:HTML (StarWriter)", "lo_writer.html")):
            out = os.path.join(tmp, "out")
            subprocess.run([soffice, "-env:UserInstallation=file://" + tmp + "/profile", "--headless",
                            "--infilter=HTML (StarWriter)", "--convert-to", target, "--outdir", out, src],
                           check=True, capture_output=True)
            produced = os.path.join(out, os.listdir(out)[0])
            dest = name if name != "lo_writer.fodt" else "lo_writer.xml"
            shutil.move(produced, os.path.join(here, dest))
            shutil.rmtree(out)
else:
    print("soffice not found: the lo_* files are left as they are", file=sys.stderr)
