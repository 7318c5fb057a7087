#!/usr/bin/env bash
# The COMMANDS section of the sonvex-cli manual page, made from the help of every command, as a
# help2man include file:  man-commands.sh SONVEX_CLI > commands.h2m
#
# Each "sonvex-cli COMMAND --help" becomes a subsection: its usage lines in bold, its text as
# filled paragraphs, indented lines kept as they are and the example set apart.
set -euo pipefail
cli=$1

commands=$("$cli" --complete commands)
[ -n "$commands" ] || { echo "man-commands.sh: $cli names no commands" >&2; exit 1; }

echo "[COMMANDS]"
for command in $commands; do
    echo ".SS $command"
    "$cli" "$command" --help | awk '
        # roff: a backslash is \e, a minus \-, a line may not start with a dot or an apostrophe.
        function roff(text) {
            gsub(/\\/, "\\e", text)
            gsub(/-/, "\\-", text)
            return (text ~ /^[.\047]/ ? "\\&" : "") text
        }
        function endVerbatim() {
            if (verbatim) { print ".fi"; print ".RE"; verbatim = 0 }
        }
        /^(Usage|   or): / {
            sub(/^(Usage|   or): /, "")
            print (synopsis++ ? ".br" : ".PP")
            print "\\fB" roff($0) "\\fR"
            next
        }
        /^$/ { endVerbatim(); paragraph = 1; next }
        # The page explains the common options itself.
        /^Common device options: see / { $0 = "Common device options: see OPTIONS above." }
        /^Example: / {
            endVerbatim()
            sub(/^Example: /, "")
            print ".PP"; print "Example:"; print ".RS"; print ".nf"; print roff($0); print ".fi"; print ".RE"
            paragraph = 1
            next
        }
        /^[ \t]/ {
            if (!verbatim) { print ".RS"; print ".nf"; verbatim = 1 }
            print roff($0)
            next
        }
        {
            endVerbatim()
            if (paragraph) { print ".PP"; paragraph = 0 }
            print roff($0)
        }
        END { endVerbatim() }
    '
done
