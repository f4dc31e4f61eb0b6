"""Writes a term-document matrix of real English text: the paragraphs of
Perl's own documentation, as Debian's perl-doc package ships it.

    text_problem.py FOLDER [--counts]

Documents are the prose paragraphs of /usr/share/perl/5.*/pod/*.pod (code
blocks, which are indented, and =commands left out; formatting codes such as
C<...> reduced to their text) with at least 20 words. Terms are runs of
letters, lower-cased, in at least 3 documents and at most half of them.
Entry (document, term) is log(1 + count), or with --counts the count itself
(for the Kullback-Leibler fits). Writes rows.i32, cols.i32 and
vals.f64 (zero-based positions and values, little-endian) and size.txt
(documents, terms) into FOLDER (term_matrix.py).
"""
import collections
import glob
import os
import re
import sys

from term_matrix import write_term_matrix


def paragraphs(files):
    for name in files:
        with open(name, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for paragraph in re.split(r"\n[ \t]*\n", text):
            if not paragraph.strip() or paragraph[0] in " \t" or paragraph.startswith("="):
                continue
            # Innermost codes first, so that nested ones unwrap too.
            while True:
                plain = re.sub(r"[A-Z]<+([^<>]*)>+", r"\1", paragraph)
                if plain == paragraph:
                    break
                paragraph = plain
            words = re.findall(r"[a-z]+", paragraph.lower())
            if len(words) >= 20:
                yield collections.Counter(words)


def main():
    folder = sys.argv[1]
    # 5.36 and 5.36.0 may be one folder under two names.
    files = sorted({os.path.realpath(f) for f in glob.glob("/usr/share/perl/5.*/pod/*.pod")})
    if not files:
        sys.exit("text_problem.py: no /usr/share/perl/5.*/pod/*.pod; install perl-doc")
    write_term_matrix(list(paragraphs(files)), folder, raw_counts="--counts" in sys.argv[2:])


if __name__ == "__main__":
    main()
