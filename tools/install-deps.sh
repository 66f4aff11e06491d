#!/bin/sh
# Installs the Debian 12 packages the build and the tests need, only those that are missing.
set -e
packages="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
qt6-base-dev qt6-serialport-dev qt6-image-formats-plugins libgl-dev
dpkg-dev file desktop-file-utils liblcms2-dev clang-14 libclang-rt-14-dev clang-format
colord-data"
missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends $missing
fi
