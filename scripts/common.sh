# Shared by demo.sh and test.sh: the Debian packages the project needs, and
# the build.

# Packages needed to build and run the demo.
RUNTIME_PACKAGES="cmake g++ make pkg-config libgl-dev libglx-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0 \
libx11-dev libxext-dev libxcursor-dev libxrandr-dev libpixman-1-dev"
# Added for the tests, the benchmarks and the fuzzers.
TEST_PACKAGES="libgtest-dev libbenchmark-dev libglm-dev libxtst-dev libegl-dev \
clang-14 libclang-rt-14-dev xvfb xauth xdotool x11-utils apitrace mesa-utils imagemagick"

# Installs what is missing when run as root; otherwise prints the one
# install line and fails.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
  else
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
}

build_project() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# Starts Xvfb on a free display and exports DISPLAY; stopped when the script ends.
start_xvfb() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/tmp/xvfb-$n.log 2>&1 &
  XVFB_PID=$!
  trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  if ! kill -0 "$XVFB_PID" 2>/dev/null; then
    echo "Xvfb could not be started (see /tmp/xvfb-$n.log)" >&2
    exit 1
  fi
  export DISPLAY=":$n"
}
