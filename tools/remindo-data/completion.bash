# bash completion for remindo-data: its commands, each command's options,
# and file names where a file is wanted.
_remindo_data()
{
    local cur prev words cword
    _init_completion -s || return

    case $prev in
        --file)
            _filedir
            return
            ;;
        --today | --from)
            COMPREPLY=($(compgen -W "$(date +%F)" -- "$cur"))
            return
            ;;
        --days | --every | --server | --user | --calendar)
            return
            ;;
    esac

    local i command=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --file) ((i++)) ;;
            -*) ;;
            *)
                command=${words[i]}
                break
                ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--file --help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'list week preview export import sync' -- "$cur"))
        fi
        return
    fi

    local options=""
    case $command in
        list) options="--today" ;;
        week) options="" ;;
        preview) options="--from --days --every" ;;
        export) options="--plain --ics" ;;
        import) options="--ics --skip-unsupported --replace" ;;
        sync) options="--server --user --calendar --password-stdin --insecure" ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    elif [[ $command == export || $command == import ]]; then
        _filedir
    fi
} && complete -F _remindo_data remindo-data
