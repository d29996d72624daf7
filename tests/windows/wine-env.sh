# Sourced by the Windows test scripts. UseWinePrefix PREFIX: a quiet Wine (no debug channels, no Mono or
# Gecko prompts) on PREFIX, made first if missing, under a lock so that parallel tests make it once.

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
