# Sourced by the Windows test scripts: a quiet Wine (no debug channels, no
# Mono or Gecko prompts) on a prefix of our own in the build folder.
#   UseWinePrefix PREFIX     uses the prefix, creating it first if missing,
#                            under a lock so parallel tests make it once

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
