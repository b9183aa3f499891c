#!/usr/bin/env bash
# The bash completion and the manual page written at build time against
# the tool's --help: every option of every command offered and described,
# also after --lang, and the values of the options that have a few.
# usage: completion_test.sh TRELMOX_CLI COMPLETION MANUAL_PAGE
set -euo pipefail
cli=$1 completion=$2 page=$3
fail() { echo "completion test: $*" >&2; exit 1; }

# What the completion offers for the words typed, the last being completed.
offered() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _trelmox_cli
           [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' \
    _ "$completion" trelmox-cli "$@"
}
sorted() { printf "%s\n" "$@" | sort | tr "\n" " "; }

commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p')
[ "$(echo $commands | wc -w)" -ge 8 ] || fail "the overview lists only: $commands"
[ "$(offered '')" = "$(sorted $commands --help --lang --version)" ] || fail "commands offered: $(offered '')"
[ "$(offered --lang zh '')" = "$(offered '')" ] || fail "after --lang zh: $(offered --lang zh '')"
[ "$(offered --lang '')" = "en zh " ] || fail "--lang offers $(offered --lang '')"
# The page as man shows it, minus signs as ASCII.
manual=$(groff -man -Tutf8 -P-cbou "$page" 2>/dev/null | sed 's/\xe2\x88\x92/-/g; s/\xe2\x80\x90/-/g')
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) && [ -z "$warnings" ] || fail "groff: $warnings"
for command in $commands; do
  # The options of the command's --help: "  --name ..." at the start of a line.
  options=$("$cli" "$command" --help | sed -n 's/^  \(--[a-z][a-z-]*\).*/\1/p')
  [ -n "$options" ] || fail "$command --help shows no option"
  expected=$(sorted $options --help --lang)
  [ "$(offered "$command" --)" = "$expected" ] || fail "$command: offered $(offered "$command" --), not $expected"
  [ "$(offered --lang zh "$command" x --)" = "$expected" ] || fail "$command after --lang zh"
  for option in $options; do
    grep -q -- "^ *$option\b" <<<"$manual" || fail "the manual page has no paragraph on $command $option"
  done
done
[ "$(offered analyze --format '')" = "csv json text xlsx " ] || fail "analyze --format: $(offered analyze --format '')"
# --format=j: bash splits the word at the '='.
[ "$(offered kinematics --format = j)" = "json " ] || fail "kinematics --format=j: $(offered kinematics --format = j)"
[ "$(offered probabilistic x --sd u)" = "u1= u2= " ] || fail "--sd u: $(offered probabilistic x --sd u)"
[ "$(offered reliability x --fisher '')" = "1= 2= crack= " ] || fail "--fisher: $(offered reliability x --fisher '')"
[ "$(offered reliability x --target-beta 2)" = "2-brittle 2-ductile " ] || fail "--target-beta 2"
[ "$(offered probabilistic x --samples '')" = "" ] || fail "--samples offers $(offered probabilistic x --samples '')"
echo "completion and manual page: $(echo $commands | wc -w) commands"
