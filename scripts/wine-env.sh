# Sourced by the scripts that run Windows programs: a private prefix, no debug
# output (ZUNK_WINEDEBUG sets Wine's channels instead, e.g. warn+heap for heap
# checking), and a Russian locale so that the ANSI code page is Windows-1251.
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
export WINEPREFIX="${ZUNK_WINEPREFIX:-$HOME/.cache/zunk-wine}"
export WINEARCH=win32
export WINEDEBUG="${ZUNK_WINEDEBUG:--all}"
# No debugger: a program that crashes ends at once instead of waiting for one.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LANG=ru_RU.UTF-8
export LC_ALL=ru_RU.UTF-8
