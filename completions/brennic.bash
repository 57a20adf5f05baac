# SPDX-License-Identifier: MIT
# Bash completion for Brennic's programs: Brennic.exe, TALVEN_En.exe,
# brennic-batch and summarize-corpus. Installed once under each program's
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

_brennic_batch() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  case $prev in
    --failed) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    -r | --rate | -q | --query | -j | --jobs | --keywords) return ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "-r --rate= -q --query= -i --condense -a --mean
      -n --together -c --stdout -0 --null -j --jobs= --failed= --dry-run --no-progress
      --html --keywords= -h --help --version" -- "$cur")
    [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

_brennic_corpus() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  case $prev in
    -B) mapfile -t COMPREPLY < <(compgen -c -- "$cur"); return ;;
    -l) mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
    -r | -q | -j | -p | -S | -c) return ;;
  esac
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "-r -q -i -a -j -p -l -B -S -c" -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}

complete -o filenames -F _brennic_exe Brennic.exe
complete -o filenames -F _brennic_talven TALVEN_En.exe
complete -o filenames -F _brennic_batch brennic-batch
complete -o filenames -F _brennic_corpus summarize-corpus
