#!/usr/bin/env bash
# The bash completion of sonvex-cli, called the way bash calls it: COMP_WORDS split as readline
# splits the line ("--model=2x4" is "--model" "=" "2x4"), COMP_CWORD on the word under the
# cursor, then COMPREPLY read back. The program asked is the build's sonvex-cli.
#   completion_test.sh COMPLETION_SCRIPT BIN_DIR
set -uo pipefail
script=$1 cli=$2/sonvex-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$script"
complete -p sonvex-cli >/dev/null || fail "the script does not register a completion for sonvex-cli"

# Completes the line "sonvex-cli WORDS..." (the last word is the one under the cursor) and
# prints COMPREPLY sorted, one a line.
offered() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _sonvex_cli sonvex-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

# expect "EXPECTED WORDS" WORDS...: the line completes to exactly these words.
expect() {
    local want got
    want=$(tr ' ' '\n' <<<"$1" | sed '/^$/d' | LC_ALL=C sort)
    shift
    got=$(offered "$@")
    [ "$got" = "$want" ] || fail "sonvex-cli $* <TAB> offered [$(echo $got)], expected [$(echo $want)]"
}

# Commands and options.
expect "backup curve diff doctor export export-eq import import-eq info ports pull push restore search set set-id table" ""
expect "search set set-id" se
expect "--help --version" --
expect "--fast --help --id --model --output --port --slot --tick --verbose" pull --
expect "--channel --group-delay --help --measurement --model --phase --sum" curve show.dia48 --
expect "--csv" table --port ttyS0 --c
expect "--verify" push show.dia48 --veri
expect "--verbose --verify" restore venue.dat48 --ve
expect "" ports --p # ports takes no option but --help
expect "--help" ports --h
expect "--all" backup --a
expect "--help --port" doctor --

# Option values, also after "=".
expect "2x4 3x6 4x8" info --model ""
expect "3x6" info --model = 3
expect "in1 in2 out1 out2 out3 out4" curve show.dia24 --model 2x4 --channel ""
expect "out1 out2 out3 out4 out5 out6" curve show.dia36 --model=3x6 --channel = o
expect "" set-id --port ttyS0 --new-id ""
expect "apo rew" export-eq show.dia48 --format ""

# Files and paths: operands, -o, and --port given as a path.
touch "$work/show.dia48" "$work/venue.dat48" "$work/link"
expect "$work/show.dia48" push "$work/sh"
expect "$work/venue.dat48" restore "$work/v"
expect "$work/show.dia48" diff "$work/venue.dat48" "$work/s"
expect "$work/venue.dat48" backup --port ttyS0 -o "$work/v"
expect "$work/link" info --port "$work/li"
expect "$work/link" info --port = "$work/li"
expect "$work/show.dia48" import-eq --port ttyS0 --channel in1 --from "$work/sh"

# Port names: the list "sonvex-cli ports" prints (its first column under the header).
ports=$("$cli" ports 2>/dev/null | tail -n +3 | awk '{ print $1 }' | tr '\n' ' ')
expect "$ports" info --port ""
[ -n "$ports" ] || echo "note: this machine reports no serial ports; the port list was checked empty"

# PARAM names of set, walked part by part ("out1." leads on, "out1.gain=" ends a name), on the
# default model and on the smallest: every name offered is one the parser takes, and the walk
# reaches every name sonvex-cli lists (the list is checked against the parser in
# CliParamNamesTest).
for model in 4x8 2x4; do
    model_words=()
    [ $model = 4x8 ] || model_words=(--model "$model")
    names=()
    pending=("")
    while ((${#pending[@]} > 0)); do
        prefix=${pending[0]}
        pending=("${pending[@]:1}")
        replies=$(offered set "${model_words[@]}" "$prefix")
        [ -n "$replies" ] || fail "set --model $model '$prefix' <TAB> offered nothing"
        while IFS= read -r reply; do
            [[ $reply == "$prefix"* ]] || fail "'$reply' does not continue '$prefix'"
            case $reply in
            *=) names+=("${reply%=}") ;;
            *.) pending+=("$reply") ;;
            *) fail "'$reply' neither ends a name (=) nor leads on (.)" ;;
            esac
        done <<<"$replies"
    done
    duplicates=$(printf '%s\n' "${names[@]}" | sort | uniq -d)
    [ -z "$duplicates" ] || fail "$model: offered twice: $duplicates"
    # The parser reads every name before it checks any value: when all the names are taken,
    # the first value ("?") is what fails, with status 1; a refused name fails with 2.
    said=$("$cli" set --model "$model" "${names[@]/%/=?}" 2>&1)
    status=$?
    [ $status -eq 1 ] && [[ $said == *"'?'"* ]] ||
        fail "$model: the parser refused an offered name (status $status): $said"
    [ "$(printf '%s\n' "${names[@]}" | sort)" = "$("$cli" --complete params "$model" | sort)" ] ||
        fail "$model: the walk did not reach every name sonvex-cli lists"
    echo "$model: ${#names[@]} PARAM names offered"
done
expect "in1. in2. in3. out1. out2. out3. out4. out5. out6." set --model = 3x6 ""
expect "in1.eq1. in1.eq2. in1.eq3. in1.eq4. in1.eq5. in1.eq6." set --model 3x6 in1.eq
expect "" set --model 2x4 out5
expect "out1.delay= out1.eq1. out1.eq2. out1.eq3. out1.eq4. out1.eq5. out1.eq6. out1.gain=
        out1.hpf. out1.limiter. out1.lpf. out1.mute= out1.name= out1.polarity= out1.source=" \
    set out1.
expect "out1.limiter.ratio= out1.limiter.release=" set out1.limiter.r
expect "" set in1.limiter
expect "" set out1.gain = # the value is typed

[ $failures -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "ok: completion"
