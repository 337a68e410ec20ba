# The show ends by itself at 185 s with exit code 0.
. "$(dirname "$0")/lib.bash"
start --start 183
waitWindow
waitExit 120
[ "$CODE" = 0 ] || fail "exit code $CODE at the end of the show"
echo ok
