# Sourced by the build scripts: compiler cache outside the work tree, shared between clones.
orz_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orlintz/ccache}"
export CCACHE_BASEDIR="$orz_root"
export CCACHE_NOHASHDIR=true
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"
orz_jobs=$(nproc)

# orz_configure <build dir> <build type> [cmake args...]
orz_configure() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$orz_root" -B "$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE="$type" \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        "$@"
}
