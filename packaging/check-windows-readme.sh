#!/bin/sh
# Checks that the README for the Windows zip is plain text as Notepad shows
# it: printable ASCII, and every line, the last one too, ending with CR LF.
#
#   sh packaging/check-windows-readme.sh
set -u
readme=$(dirname "$0")/README-windows.txt
cr=$(printf '\r')
status=0
if LC_ALL=C grep -n -v "$cr\$" "$readme"; then
  echo "$readme: the lines above do not end with CR LF" >&2
  status=1
fi
if [ "$(tail -c 1 "$readme" | od -An -c | tr -d ' ')" != '\n' ]; then
  echo "$readme: the last line has no line end" >&2
  status=1
fi
if LC_ALL=C grep -n "[^ -~$cr]" "$readme"; then
  echo "$readme: the lines above hold bytes that are not printable ASCII" >&2
  status=1
fi
exit $status
