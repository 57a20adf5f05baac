# SPDX-License-Identifier: MIT
# Bash completion for Brennic's programs: Brennic.exe, TALVEN_En.exe,
# brennic (also named brennic-batch) and summarize-corpus. Installed once under each program's
# name in share/bash-completion/completions, where bash-completion loads it
# the first time one of them is completed.

_brennic_exe() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  # The switches come first and in this order: -is, -ak, -nM.
  if [[ $cur == -* ]]; then
    local i seen=()
    for ((i = 1; i < COMP_CWORD; i++)); do seen+=("${COMP_WORDS[i]}"); done
    local switches=()
    [[ " ${seen[*]} " != *" -is "* && " ${seen[*]} " != *" -ak "* && " ${seen[*]} " != *" -n"* ]] && switches+=(-is)
    [[ " ${seen[*]} " != *" -ak "* && " ${seen[*]} " != *" -n"* ]] && switches+=(-ak)
    [[ " ${seen[*]} " != *" -n"* ]] && switches+=(-n)
    mapfile -t COMPREPLY < <(compgen -W "${switches[*]}" -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

_brennic_talven() {
  mapfile -t COMPREPLY < <(compgen -f -- "${COMP_WORDS[COMP_CWORD]}")
}

_brennic_command() {
    local cur prev
    COMPREPLY=()
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    case "$prev" in
        --format)
            COMPREPLY=($(compgen -W "text json html" -- "$cur"))
            return ;;
        --output-dir)
            COMPREPLY=($(compgen -d -- "$cur"))
            return ;;
        --encoding)
            COMPREPLY=($(compgen -W "auto latin1 utf-8" -- "$cur"))
            return ;;
        --input)
            COMPREPLY=($(compgen -W "auto text html markdown" -- "$cur"))
            return ;;
        --language|-l)
            COMPREPLY=($(compgen -W "auto en af ar bg bn ca cs da de el es et eu fa fi fr ga gl gu he hi hr hu hy id is it ja ko ku lt lv mr ms ne nl no pl pt ro ru sk sl sr st sv sw ta th tl tr uk ur vi yi zh" -- "$cur"))
            return ;;
        --files-from|--failed)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --keep|--words|--sentences|--rate|-r|--query|-q|--jobs|-j|--keywords|--include)
            return ;;
    esac
    case "$cur" in
        --*=*)
            local opt="${cur%%=*}" val="${cur#*=}"
            case "$opt" in
                --format) COMPREPLY=($(compgen -P "$opt=" -W "text json html" -- "$val")) ;;
                --input) COMPREPLY=($(compgen -P "$opt=" -W "auto text html markdown" -- "$val")) ;;
                --output-dir) COMPREPLY=($(compgen -P "$opt=" -d -- "$val")) ;;
                --files-from|--failed) COMPREPLY=($(compgen -P "$opt=" -f -- "$val")) ;;
            esac
            return ;;
        -*)
            COMPREPLY=($(compgen -W "--keep --words --sentences --rate --format --sum
                --output-dir --keywords --stems --files-from --null --together --query
                --condense --mean --language --encoding --jobs --failed --dry-run --no-progress --stdout --help
                --version --recursive --include --quiet --input --main-text" -- "$cur"))
            return ;;
    esac
    COMPREPLY=($(compgen -f -- "$cur"))
}
_brennic_corpus() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  case $prev in
    -B) mapfile -t COMPREPLY < <(compgen -c -- "$cur"); return ;;
    -L | --log) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    -l | --language)
      mapfile -t COMPREPLY < <(compgen -W "auto en af ar bg bn ca cs da de el es et eu fa fi fr ga gl gu he hi hr hu hy id is it ja ko ku lt lv mr ms ne nl no pl pt ro ru sk sl sr st sv sw ta th tl tr uk ur vi yi zh" -- "$cur")
      return ;;
    -r | -q | -j | -p | -S | -c | --keep | --words | --rate | --sentences | --query | --jobs | --include) return ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "-r -q -i -a -j -p -l -L -R -B -S -c --keep --words --rate
      --sentences --language --query --condense --mean --recursive --include --jobs --log" -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}

complete -o filenames -F _brennic_exe Brennic.exe
complete -o filenames -F _brennic_talven TALVEN_En.exe
complete -o filenames -F _brennic_command brennic brennic-batch
complete -o filenames -F _brennic_corpus summarize-corpus
