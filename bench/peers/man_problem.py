"""Writes a second term-document matrix of real English text: Debian's
English manual pages, one document each.

    man_problem.py FOLDER

Documents are the pages /usr/share/man/man[1-8]/*.gz (the other languages
live in folders of their own) with at least 20 words once the roff requests
(lines starting with . or ') and escapes (\\fB, \\(em, \\-, ...) are taken
out; a page that only includes another (.so) is left out. Terms and entries
as term_matrix.py makes them.
"""
import collections
import glob
import gzip
import re
import sys

from term_matrix import write_term_matrix


def words_of(page):
    with gzip.open(page, "rt", encoding="utf-8", errors="replace") as f:
        text = f.read()
    lines = [l for l in text.splitlines() if not l.startswith((".", "'"))]
    plain = re.sub(r"\\(\(..|\[[^\]]*\]|f.|s[-+]?\d|.)", " ", "\n".join(lines))
    return re.findall(r"[a-z]+", plain.lower())


def main():
    folder = sys.argv[1]
    pages = sorted(glob.glob("/usr/share/man/man[1-8]/*.gz"))
    if not pages:
        sys.exit("man_problem.py: no /usr/share/man/man[1-8]/*.gz")
    documents = []
    for page in pages:
        words = words_of(page)
        if len(words) >= 20:
            documents.append(collections.Counter(words))
    write_term_matrix(documents, folder)


if __name__ == "__main__":
    main()
