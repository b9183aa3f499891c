# bash completion for trelmox-cli: commands, options, the probabilistic
# input names, and files where a command takes them.
_trelmox_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command=${COMP_WORDS[1]:-}
    local names="dip1 dipdir1 dip2 dipdir2 diptop dipdirtop dipface dipdirface c1 f1 c2 f2 rock water height u1 u2 k crackdist crackwater force bolt face_trace1 face_trace2 top_trace1 top_trace2 persistence1 persistence2 slope_length bench_height bench_width crackdip crackdipdir"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "analyze probabilistic sensitivity combinations planar kinematics report --help --version" -- "$cur"))
        return
    fi
    case $prev in
        --format)
            case $command in
                analyze | combinations) COMPREPLY=($(compgen -W "text json csv xlsx" -- "$cur")) ;;
                kinematics) COMPREPLY=($(compgen -W "text json csv" -- "$cur")) ;;
                probabilistic) COMPREPLY=($(compgen -W "text json xlsx" -- "$cur")) ;;
                planar) COMPREPLY=($(compgen -W "text json" -- "$cur")) ;;
                sensitivity) COMPREPLY=($(compgen -W "text csv json" -- "$cur")) ;;
            esac
            return ;;
        --method) COMPREPLY=($(compgen -W "mc lhs" -- "$cur")); return ;;
        --bolt-mode) COMPREPLY=($(compgen -W "active passive" -- "$cur")); return ;;
        --sets) COMPREPLY=($(compgen -W "planes labels auto:" -- "$cur")); return ;;
        --fisher) compopt -o nospace 2>/dev/null; COMPREPLY=($(compgen -W "1= 2= crack=" -- "$cur")); return ;;
        --correlation) compopt -o nospace 2>/dev/null; COMPREPLY=($(compgen -W "1= 2=" -- "$cur")); return ;;
        --exponential) COMPREPLY=($(compgen -W "$names" -- "$cur")); return ;;
        --param) COMPREPLY=($(compgen -W "$names" -- "$cur")); return ;;
        --sd | --uniform | --lognormal | --triangular | --beta | --gamma | --truncate)
            # NAME= and then the value: no space after the name.
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -W "${names// /= }=" -- "$cur"))
            return ;;
        --report-dir | --dxf-dir | --plot-dir | --pdf-dir)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$cur"))
            return ;;
        --output)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --samples | --seed | --threads | --bins | --from | --to | --steps | --required) return ;;
        --height | --face-dip | --plane-dip | --top-dip | --crack-distance | --unit-weight | --water-unit-weight | \
            --water-fill | --cohesion | --friction | --k | --bolt-force | --bolt-plunge | --lateral) return ;;
    esac
    if [[ $cur == -* ]]; then
        local options=
        case $command in
            analyze) options="--format --output --report-dir --dxf-dir --plot-dir --help" ;;
            probabilistic) options="--samples --seed --method --sd --uniform --lognormal --exponential --triangular --beta --gamma --truncate --correlation --required --fisher --threads --bins --format --output --quiet --help" ;;
            sensitivity) options="--param --from --to --steps --required --format --help" ;;
            combinations) options="--sets --format --output --help" ;;
            planar) options="--height --face-dip --plane-dip --top-dip --crack-distance --unit-weight --water-unit-weight --water-fill --cohesion --friction --k --bolt-force --bolt-plunge --bolt-mode --format --help" ;;
            kinematics) options="--friction --lateral --format --help" ;;
            report) options="--pdf-dir --help" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -F _trelmox_cli trelmox-cli
