# Sourced by the Windows test scripts: a quiet Wine (no debug channels, no
# Mono or Gecko prompts) on a prefix of our own in the build folder.
#   UseWinePrefix PREFIX     uses the prefix, creating it first if missing,
#                            under a lock so parallel tests make it once
#   StartOwnWineServer       waits for an earlier server of the prefix to end,
#                            then starts one that ends with its last program
#   EndWineServer            waits until that server has ended
# Wine keeps the screen's size from the first display its desktop opened,
# so programs on displays of their own each need a server of their own.

UseWinePrefix() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
      flock 9
      if [[ ! -f $WINEPREFIX/system.reg ]]; then
        DISPLAY= wineboot -i >/dev/null 2>&1
        wineserver -w
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
}

StartOwnWineServer() {
  wineserver -w
  wineserver -p0
}

EndWineServer() {
  wineserver -w
}
