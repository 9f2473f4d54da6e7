#!/usr/bin/env bash
# Runs the flash tests of an armhf build in an emulated 32-bit ARM machine
# whose kernel has a NAND flash simulator, so that the logo partition
# /dev/mtd14 is a real MTD character device of 3 MiB (2 KiB pages, 128 KiB
# erase blocks) and every request goes to the kernel's driver.
#
#   scripts/device-vm.sh [PROGRAM...]     default: every program of the table below
#
# Environment:
#   UPDATETHEME_ARMHF_BUILD      the armhf build made by scripts/armhf-test.sh (default <repo>/build-armhf)
#   UPDATETHEME_ARMHF_SYSROOT    its sysroot (default BUILD/sysroot)
#   UPDATETHEME_DEVICE_VM_CACHE  where the kernel, busybox and the initramfs are kept
#                                (default BUILD/device-vm); point it outside a throw-away clone
#   UPDATETHEME_DEVICE_VM_LIMIT  seconds one boot may take (default 180)
#
# Each row of the table boots the machine afresh with its own simulator
# options and runs one test program with the named test functions and rows;
# the program prints its results on the console, which this script reads.
# Debian's armhf kernel and busybox are downloaded once with a private APT
# state (the machine's dpkg never learns about armhf). The sysroot and the
# build are shared read-only with the machine at the paths they have here.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${UPDATETHEME_ARMHF_BUILD:-$repo/build-armhf}")
sysroot=$(realpath -m "${UPDATETHEME_ARMHF_SYSROOT:-$build/sysroot}")
cache=$(realpath -m "${UPDATETHEME_DEVICE_VM_CACHE:-$build/device-vm}")
limit=${UPDATETHEME_DEVICE_VM_LIMIT:-180}

host_packages=(qemu-system-arm cpio)
log_tag=device-vm
# shellcheck source=scripts/armhf-apt.sh
. "$repo/scripts/armhf-apt.sh"

# The head unit's flash: a 128 MiB NAND (2 KiB pages, 128 KiB erase blocks)
# whose fifteenth partition, /dev/mtd14, has 24 erase blocks, eraseblocks 14
# to 37 of the chip (pages 896 to 2431).
geometry="id_bytes=0xec,0xa1,0x00,0x15 parts=1,1,1,1,1,1,1,1,1,1,1,1,1,1,24"

# The shared folders' modules and the flash simulator.
machine_modules="virtio_mmio 9pnet_virtio 9p nandsim"

# One boot a line: name | simulator faults | program | test functions and rows.
# The tests prepare the partition by erasing it once and writing it once, so
# a fault that spares one erase or one write strikes the logo writer's own.
# The pages and the block lie in the record's carried bytes, after the pixels.
boots() {
    cat <<'EOF'
kernel requests||tst_factoryimport|flashRequests
healthy flash||tst_factoryimport|writesTheLogo:partition larger than the record|writesTheLogo:blank partition
erase fails|weakblocks=20:1|tst_factoryimport|writesTheLogo:erase fails
copy-back fails|weakpages=1596:1|tst_factoryimport|writesTheLogo:copy-back fails
read-back differs|gravepages=1596:0|tst_factoryimport|writesTheLogo:read-back differs
EOF
}

# What the machine runs first: busybox, the kernel's file systems, the
# modules for the shared folders, then the job the host wrote for this boot.
init_script() {
    cat <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mkdir -p /proc /sys /dev /tmp /job
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
for module in $(cat /modules/order); do insmod "/modules/$module"; done
mount -t 9p -o trans=virtio,version=9p2000.L,ro job /job
sh /job/run
echo "device-vm: job finished"
poweroff -f
EOF
}

# The files of the modules a module needs, its own last, from the
# dependencies each module file names.
module_closure() {
    local tree=$1 name=$2 file dependency
    file=$(find "$tree" -name "$name.ko" | head -1)
    [ -n "$file" ] || die "module $name is not in the kernel package"
    for dependency in $(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | tr ',' ' '); do
        module_closure "$tree" "$dependency"
    done
    echo "$file"
}

make_machine() {
    local apt=$cache/apt key kernel staging
    mkdir -p "$cache"
    armhf_apt_state "$apt"
    key=$(printf 'linux-image-armmp busybox-static %s\n%s\n' "$machine_modules" "$(init_script)" |
        cat - "$apt/sources.list")
    if [ -f "$cache/initrd.gz" ] && [ "$(cat "$cache/key" 2>/dev/null)" = "$key" ]; then
        log "machine cached: $cache"
        return
    fi
    armhf_apt_update "$apt"
    kernel=$(apt-cache "${aptopts[@]}" depends linux-image-armmp | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)$/\1/p' | head -1)
    [ -n "$kernel" ] || die "no armhf kernel package found"
    log "kernel package $kernel"
    staging=$work/machine
    mkdir -p "$staging/debs" "$staging/root/bin" "$staging/root/modules"
    (cd "$staging/debs" && apt-get -q "${aptopts[@]}" -o APT::Sandbox::User=root download "$kernel" busybox-static)
    for deb in "$staging"/debs/*.deb; do
        dpkg -x "$deb" "$staging/unpacked"
    done
    local files file
    cp "$staging/unpacked/bin/busybox" "$staging/root/bin/busybox"
    # In loading order, each once; nandsim is loaded by each boot's job.
    files=$(for module in $machine_modules; do
        module_closure "$staging/unpacked/lib/modules" "$module"
    done | awk '!seen[$0]++')
    for file in $files; do
        cp "$file" "$staging/root/modules/"
        [ "$(basename "$file")" = nandsim.ko ] || basename "$file" >>"$staging/root/modules/order"
    done
    init_script >"$staging/root/init"
    chmod 755 "$staging/root/init"
    (cd "$staging/root" && find . | cpio -o -H newc --quiet) | gzip -9 >"$staging/initrd.gz"
    mv "$staging"/unpacked/boot/vmlinuz-* "$cache/vmlinuz"
    mv "$staging/initrd.gz" "$cache/initrd.gz"
    log "kernel $(stat -c %s "$cache/vmlinuz") bytes, initramfs $(stat -c %s "$cache/initrd.gz") bytes," \
        "modules: $(tr '\n' ' ' <"$staging/root/modules/order")"
    printf '%s\n' "$key" >"$cache/key"
    apt-get -q "${aptopts[@]}" clean
}

# The job of one boot: the shared folders at the paths they have here, the
# armhf system's libraries in the machine's own places, the flash simulator,
# then the program.
write_job() {
    local job=$1 faults=$2 program=$3
    shift 3
    {
        echo "set -u"
        printf 'mkdir -p %q %q\n' "$sysroot" "$build"
        printf 'mount -t 9p -o trans=virtio,version=9p2000.L,ro sysroot %q\n' "$sysroot"
        printf 'mount -t 9p -o trans=virtio,version=9p2000.L,ro build %q\n' "$build"
        printf 'ln -s %q /%s\n' "$sysroot/lib" lib "$sysroot/usr" usr
        printf 'mkdir -p /etc && ln -s %q /etc/fonts\n' "$sysroot/etc/fonts"
        echo "insmod /modules/nandsim.ko $geometry $faults || exit 1"
        echo "# The simulator's warnings tell which fault struck."
        echo "echo 5 >/proc/sys/kernel/printk"
        echo "mkdir -m 700 /tmp/runtime"
        echo "export HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_PLATFORM=offscreen UPDATETHEME_DEVICE_VM=1"
        echo "cd /tmp"
        printf '%q -platform offscreen' "$build/tests/$program"
        printf ' %q' "$@"
        echo
        echo 'echo "device-vm: exit status $?"'
    } >"$job/run"
}

share() {
    printf -- '-fsdev local,id=%s,path=%s,security_model=none,readonly=on -device virtio-9p-device,fsdev=%s,mount_tag=%s ' \
        "$1" "$2" "$1" "$1"
}

# Boots the machine for one row of the table; fails unless the program ran
# to its end and passed.
boot() {
    local name=$1 faults=$2 program=$3
    shift 3
    local job=$work/job console=$work/console.log started=$SECONDS
    [ -x "$build/tests/$program" ] || die "$build/tests/$program is not built"
    rm -rf "$job"
    mkdir -p "$job"
    write_job "$job" "$faults" "$program" "$@"
    log "--- $name: nandsim $geometry${faults:+ $faults}; $program $*"
    # shellcheck disable=SC2046
    timeout "$limit" nice qemu-system-arm -M virt -cpu cortex-a15 -smp 1 -m 512 \
        -nographic -no-reboot -nic none \
        -kernel "$cache/vmlinuz" -initrd "$cache/initrd.gz" \
        -append "console=ttyAMA0 panic=-1 quiet loglevel=3" \
        $(share job "$job") $(share sysroot "$sysroot") $(share build "$build") \
        </dev/null | tr -d '\r' | tee "$console" || true
    if ! grep -qx 'device-vm: job finished' "$console"; then
        log "--- $name: FAILED, the machine did not finish within $limit s"
        return 1
    fi
    if ! grep -qx 'device-vm: exit status 0' "$console"; then
        log "--- $name: FAILED, $program did not pass"
        return 1
    fi
    log "--- $name: passed in $((SECONDS - started)) s"
}

# Whether the program is among those asked for (every one when none is).
asked_for() {
    local program=$1 wanted
    shift
    [ $# -eq 0 ] && return 0
    for wanted in "$@"; do
        [ "$wanted" = "$program" ] && return 0
    done
    return 1
}

run_boots() {
    local name faults program tests failed=()
    while IFS='|' read -r name faults program tests; do
        asked_for "$program" "$@" || continue
        IFS='|' read -r -a tests <<<"$tests"
        boot "$name" "$faults" "$program" "${tests[@]}" || failed+=("$name")
    done < <(boots)
    [ ${#failed[@]} -eq 0 ] || die "failed: $(printf '"%s" ' "${failed[@]}")"
}

# The temporary folder of one run, removed at its end.
make_work_folder() {
    [ -d "$sysroot/usr/lib/arm-linux-gnueabihf" ] || die "no armhf sysroot at $sysroot: run scripts/armhf-test.sh first"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
}

main() {
    make_work_folder
    local total_started=$SECONDS
    stage "host tools" install_packages "${host_packages[@]}"
    stage "machine" make_machine
    stage "boots" run_boots "$@"
    log "device VM total: $((SECONDS - total_started)) s"
}

# scripts/head-unit-vm.sh sources this file for its machine making.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main "$@"
fi
