#!/usr/bin/env bash
# Runs the armhf simulator as the host on an emulated head unit: a 32-bit ARM
# machine with a framebuffer (virtio-gpu, 800 by 480) that Qt draws into with
# its linuxfb platform, a virtio keyboard and tablet as its input devices,
# /media/flash on a disk of its own, the media as FAT images on USB mass
# storage plugged and pulled through qemu's monitor, nandsim's /dev/mtd14 as
# the logo partition, and busybox as /bin/sh and as every command the plugin
# runs.
#
#   scripts/head-unit-vm.sh [SCENARIO...]   every shipped scenario, the screen proof
#                                           and the pulled stick (default), or the named
#                                           scenarios (file names without .json)
#   scripts/head-unit-vm.sh --by-hand [SCENARIO]
#                                           the machine's screen in qemu's GTK window, the
#                                           simulator waiting for the PC's keys and mouse,
#                                           the scenario's media (default demo) plugged in
#
# Environment, besides scripts/device-vm.sh's:
#   UPDATETHEME_HEAD_UNIT_OUT    the shared output folder (default BUILD/head-unit)
#   UPDATETHEME_HEAD_UNIT_LIMIT  seconds the whole boot may take (default 330)
#
# The machine is made like scripts/device-vm.sh's, with the modules of the
# head unit's devices, and kept in DEVICE_VM_CACHE/head-unit. The machine
# writes each scenario's journal, screenshots, log and the logo partition as
# it read it back into the output folder; this script checks them.
set -euo pipefail

head_unit_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/device-vm.sh
. "$head_unit_repo/scripts/device-vm.sh"
log_tag=head-unit-vm
host_packages+=(qemu-user dosfstools mtools e2fsprogs python3)
cache=$cache/head-unit
out=$(realpath -m "${UPDATETHEME_HEAD_UNIT_OUT:-$build/head-unit}")
boot_limit=${UPDATETHEME_HEAD_UNIT_LIMIT:-330}
scenarios_dir=$repo/tools/updatetheme-sim/scenarios
# The three screens' scenario, for the framebuffer dumps: the monitor dumps
# the framebuffer the moment the simulator has taken a screenshot, and a
# second screenshot follows. The dialog and the confirmation count down once a
# second: the dump equals the screenshot before it or, when the count went on
# in between, the one after it.
held_scenario=screens-held
held_screens="dialog confirmation mcu-45"
# The factory import whose stick is pulled once the first file is copied,
# then inserted again into the same device.
pulled_run=stick-pulled
reinserted_run=stick-reinserted
pull_after="line:1134"
# The MCU upgrade played by hand: the simulator waits for input, which the
# host sends as the machine's keyboard and tablet on these cues from the
# journal (a line each: what the journal shows, then the input).
input_run=mcu-by-input
input_scenario=mcu-upgrade
input_cues='"name":"setUpgradeFileList"|touch 400 275
"name":"setDeviceInfomation"|key left
"name":"setDeviceInfomation"|key ret
"name":"onUpdateFinished"|key down
"name":"cancelUpdate"|done'
# Seconds one run of the simulator may take before it counts as hung.
run_limit=60

# The display, the input devices, USB, the FAT and ext4 file systems, and
# crc32c, which ext4 asks for by name.
machine_modules="$machine_modules virtio-gpu virtio_input evdev xhci-pci usb-storage sd_mod vfat nls_cp437
    nls_iso8859-1 nls_utf8 crc32c_generic ext4 virtio_blk"

# How the head unit mounts a medium: never anything to run from it, names in
# UTF-8 shown as stored (iso8859-1 only gives the case folding that keeps
# lookups case-insensitive; iocharset=utf8 would make them case-sensitive),
# data written through at once for a medium that can be pulled at any moment.
fat_options="nosuid,nodev,noexec,noatime,codepage=437,iocharset=iso8859-1,utf8,shortname=mixed,flush"

# The machine's side: the shared folders, the head unit's file system layout,
# then each scenario with its media plugged in by the host on request. Lines
# starting "head-unit:" on the console are requests to the host or results.
machine_job() {
    cat <<'EOF'
set -u
export PATH=/bin
. /job/settings
mkdir -p "$sysroot" "$build" /out /etc /media/flash /application /hu
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=262144 sysroot "$sysroot"
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=262144 build "$build"
mount -t 9p -o trans=virtio,version=9p2000.L out /out
ln -s "$sysroot/lib" /lib
ln -s "$sysroot/usr" /usr
ln -s "$sysroot/etc/fonts" /etc/fonts
mount -t ext4 -o noatime /dev/vda /media/flash
# The simulator takes a device root of its own; here its folders are the
# machine's, so the plugin's paths are the head unit's.
ln -s /dev /media /application /hu/
mkdir -m 700 /tmp/runtime
echo "head-unit: up after $(cut -d' ' -f1 /proc/uptime) s; shell $(readlink /bin/sh), cp $(readlink "$(which cp)"), dd $(readlink "$(which dd)")"

input_device() {
    local event
    for event in /sys/class/input/event*; do
        grep -qx "$1" "$event/device/name" && echo "/dev/input/${event##*/}"
    done
}
# Without udev Qt finds no input devices by itself: they are named.
export HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_FB_HIDECURSOR=1 QT_QPA_FB_NO_LIBINPUT=1 \
    QT_QPA_EVDEV_KEYBOARD_PARAMETERS="$(input_device 'QEMU Virtio Keyboard')" \
    QT_QPA_EVDEV_MOUSE_PARAMETERS="$(input_device 'QEMU Virtio Tablet'):abs"
cd /tmp

# A fresh chip holding the logo record, and an empty settings area.
fresh_flash() {
    rmmod nandsim 2>/dev/null
    insmod /modules/nandsim.ko $geometry || exit 1
    dd if=/job/logo-record of=/dev/mtd14 bs=2048 2>/dev/null || exit 1
    rm -rf /media/flash/* /media/flash/.[!.]*
}

uptime_ms() {
    local seconds
    read -r seconds _ </proc/uptime
    echo "${seconds%.*}${seconds#*.}0"
}

# Asks the host for the scenario's media and mounts each by its label once
# the kernel has found it; sets media_arguments.
plug_media() {
    local scenario=$1 name kind label device waited=0
    media_arguments=""
    echo "head-unit: plug $scenario"
    while read -r name kind label; do
        until device=$(findfs "LABEL=$label" 2>/dev/null); do
            if [ $waited -ge 200 ]; then
                echo "head-unit: $label not found; the kernel's last words:"
                dmesg | grep -i -E "usb|xhci|pci|scsi|sd[a-z]" | tail -25
                return 1
            fi
            waited=$((waited + 1))
            sleep 0.1
        done
        mkdir -p "/media/$name"
        mount -t vfat -o "$fat_options" "$device" "/media/$name" || return 1
        media_arguments="$media_arguments --$kind /media/$name"
    done <"/job/media/$scenario"
    echo "head-unit: $scenario media found after $((waited * 100)) ms"
}

unplug_media() {
    local name _
    while read -r name _; do
        # A pulled medium is gone already; its file system goes as well.
        umount "/media/$name" 2>/dev/null || umount -l "/media/$name"
    done <"/job/media/$1"
    echo "head-unit: unplug"
    while [ -n "$(ls /sys/block | grep '^sd')" ]; do sleep 0.1; done
}

# Asks the host for a framebuffer dump the moment the simulator has taken a
# screenshot: the journal comes through a pipe, read by the shell's builtins
# alone, and goes on into its file.
request_screendumps() {
    local pipe=$1 journal=$2 line file
    while IFS= read -r line; do
        echo "$line" >>"$journal"
        case $line in
        *'"event":"screenshot"'*)
            file=${line#*\"file\":\"}
            file=${file%%\"*}
            file=${file##*/}
            case $file in
            *-after.png) ;;
            *) echo "head-unit: screendump ${file%.png}" ;;
            esac
            ;;
        esac
    done <"$pipe"
}

# Asks the host to pull the media once the import has begun.
request_pull() {
    local waited=0
    until grep -q "$pull_after" "$1" 2>/dev/null; do
        [ $waited -lt 600 ] || return
        waited=$((waited + 1))
        sleep 0.05
    done
    echo "head-unit: pull"
}

# Sends the input cue by cue; the simulator is stopped after the last.
send_input() {
    local journal=$1 pattern input waited
    echo "$input_cues" | while IFS='|' read -r pattern input; do
        waited=0
        until grep -q "$pattern" "$journal" 2>/dev/null; do
            [ $waited -lt 300 ] || { echo "head-unit: input cue $pattern not seen"; break; }
            waited=$((waited + 1))
            sleep 0.1
        done
        [ "$input" = done ] || echo "head-unit: $input"
    done
    kill "$(pidof updatetheme-sim)"
}

# One run: its name (the output folder), the scenario, and whether the
# device's flash starts afresh or keeps what the run before left.
run_scenario() {
    local name=$1 scenario=$2 flash=$3 started status folder="/out/$1"
    mkdir -p "$folder"
    [ "$flash" = kept ] || fresh_flash
    plug_media "$scenario" || return 1
    local journal="$folder/journal.jsonl"
    case $name in
    "$held_scenario")
        journal=/tmp/journal
        mkfifo "$journal"
        request_screendumps "$journal" "$folder/journal.jsonl" &
        ;;
    "$pulled_run") request_pull "$folder/output.log" & ;;
    "$input_run") send_input "$folder/journal.jsonl" & ;;
    esac
    started=$(uptime_ms)
    # The run by input and the one by hand have the scenario's media, but no steps.
    local driven="--scenario /job/scenarios/$scenario.json --screenshots $folder/screenshots"
    case $name in
    "$input_run") driven="$input_options" ;;
    by-hand) driven="" ;;
    esac
    # shellcheck disable=SC2086
    timeout "$run_limit" "$build/tools/updatetheme-sim/updatetheme-sim" -platform linuxfb --device-root /hu \
        $driven $media_arguments --journal "$journal" >"$folder/output.log" 2>&1
    status=$?
    # A simulator that never opened its journal leaves the reader waiting for it.
    [ ! -p /tmp/journal ] || : 1<>/tmp/journal
    wait
    rm -f /tmp/journal
    echo "head-unit: result $name $status $(( $(uptime_ms) - started )) ms"
    dd if=/dev/mtd14 of="$folder/mtd14.bin" bs=2048 count=1500 2>/dev/null
    cp -r /media/flash "$folder/flash"
    unplug_media "$scenario"
}

while read -r name scenario flash; do
    run_scenario "$name" "$scenario" "$flash"
done </job/runs
EOF
}

# The media of each scenario as FAT images, labelled by their mount folder,
# and the list the machine mounts them from.
make_media() {
    local scenario name kind folder image
    mkdir -p "$work/job/media" "$work/media"
    for scenario in "$@"; do
        mkdir -p "$work/media/$scenario"
        qemu-arm -L "$sysroot" "$build/tools/updatetheme-media/updatetheme-media" \
            "$work/job/scenarios/$scenario.json" "$work/media/$scenario" |
            while read -r name kind folder; do
                image=$work/media/$scenario/$name.img
                mkfs.vfat -C -n "${name^^}" "$image" 16384 >/dev/null
                if [ -n "$(ls -A "$folder")" ]; then
                    mcopy -s -m -i "$image" "$folder"/* ::/
                fi
                echo "$name $kind ${name^^}" >>"$work/job/media/$scenario"
                echo "$name $image" >>"$work/media/$scenario/images"
            done
        log "$scenario: $(tr '\n' ' ' <"$work/job/media/$scenario")"
    done
}

write_machine_job() {
    {
        printf 'sysroot=%q build=%q\n' "$sysroot" "$build"
        printf 'geometry=%q fat_options=%q\n' "$geometry" "$fat_options"
        printf 'held_scenario=%q pulled_run=%q pull_after=%q run_limit=%q\n' \
            "$held_scenario" "$pulled_run" "$pull_after" "$run_limit"
        printf 'input_run=%q input_cues=%q input_options=%q\n' "$input_run" "$input_cues" \
            "--temp MCUVERSION=MCU_2.1.0 --upgrade-tick 20"
    } >"$work/job/settings"
    {
        echo "sh /job/machine"
        echo 'echo "device-vm: exit status $?"'
    } >"$work/job/run"
    machine_job >"$work/job/machine"
    # The record the head unit's partition holds: 800 by 480 pixels, all black.
    head -c 3072000 /dev/zero >"$work/job/logo-record"
    printf '\x20\x03\x00\x00\xe0\x01\x00\x00' | dd of="$work/job/logo-record" bs=1 seek=60 conv=notrunc 2>/dev/null
    truncate -s 32M "$work/flash.img"
    mkfs.ext4 -q -F -L flash "$work/flash.img"
}

# The scenarios the machine runs: the shipped ones and the held screens.
stage_scenarios() {
    mkdir -p "$work/job/scenarios"
    cp "$scenarios_dir"/*.json "$work/job/scenarios/"
    python3 - "$scenarios_dir/screens.json" >"$work/job/scenarios/$held_scenario.json" <<'EOF'
import json, sys
scenario = json.load(open(sys.argv[1]))
scenario["name"] += ", for the framebuffer dumps"
steps = []
for step in scenario["steps"]:
    if "screenshot" in step:
        steps.append({"wait": 1100})
    steps.append(step)
    if "screenshot" in step:
        steps.append({"wait": 600})
        steps.append({"screenshot": step["screenshot"] + "-after"})
scenario["steps"] = steps
json.dump(scenario, sys.stdout, indent=1)
EOF
}

# The host's side of the console: plugs and pulls media on the machine's
# requests. Reads the console on standard input.
serve_machine() {
    local line scenario="" name image plugged=() count=0 id
    while IFS= read -r line; do
        line=${line%$'\r'}
        printf '%s\n' "$line"
        case $line in
        "head-unit: plug "*)
            scenario=${line#head-unit: plug }
            while read -r name image; do
                count=$((count + 1))
                id=$name-$count
                monitor "drive_add 0 if=none,id=$id,format=raw,file=$image"
                monitor "device_add usb-storage,bus=xhci.0,drive=$id,id=$id,removable=on"
                plugged+=("$id")
            done <"$work/media/$scenario/images"
            ;;
        "head-unit: screendump "*)
            mkdir -p "$out/$scenario/screendumps"
            monitor "screendump $out/$scenario/screendumps/${line#head-unit: screendump }.ppm"
            ;;
        "head-unit: key "*)
            qmp '{"execute": "send-key", "arguments": {"keys": [{"type": "qcode", "data": "'"${line#head-unit: key }"'"}]}}'
            ;;
        "head-unit: touch "*)
            # shellcheck disable=SC2086
            touch_screen ${line#head-unit: touch }
            ;;
        "head-unit: unplug" | "head-unit: pull")
            for id in "${plugged[@]}"; do
                monitor "device_del $id"
            done
            plugged=()
            ;;
        esac
    done
}

monitor() {
    printf '%s\n' "$*" >&7
}

# The machine's control protocol, for input events.
qmp() {
    printf '%s\n' "$*" >&8
}

# A touch at a point of the 800 by 480 screen: the tablet's axes run from 0
# to 32767. Qt's evdev mouse reports the first position it reads as 0,0, and
# a position it reads in one go with a button only with the button: the
# finger lands twice, each time alone, before it presses.
touch_screen() {
    local x=$(($1 * 32767 / 799)) y=$(($2 * 32767 / 479)) button
    for x in $((x - 1)) "$x"; do
        qmp '{"execute": "input-send-event", "arguments": {"events": [{"type": "abs", "data": {"axis": "x", "value": '$x'}}, {"type": "abs", "data": {"axis": "y", "value": '$y'}}]}}'
        sleep 0.5
    done
    for button in true false; do
        qmp '{"execute": "input-send-event", "arguments": {"events": [{"type": "btn", "data": {"down": '$button', "button": "left"}}]}}'
    done
}

# Boots the head unit; the console goes to console.log in the output folder.
boot_head_unit() {
    local display=("$@") console=$out/console.log
    mkfifo "$work/monitor.in" "$work/monitor.out" "$work/qmp.in" "$work/qmp.out"
    exec 7<>"$work/monitor.in" 8<>"$work/qmp.in"
    cat "$work/monitor.out" >"$out/monitor.log" &
    cat "$work/qmp.out" >"$out/qmp.log" &
    qmp '{"execute": "qmp_capabilities"}'
    # shellcheck disable=SC2046
    timeout "$boot_limit" nice qemu-system-arm -M virt,highmem=off -cpu cortex-a15 -smp 1 -m 768 \
        "${display[@]}" -serial stdio -monitor "pipe:$work/monitor" \
        -chardev "pipe,id=qmp,path=$work/qmp" -mon chardev=qmp,mode=control -no-reboot -nic none \
        -kernel "$cache/vmlinuz" -initrd "$cache/initrd.gz" \
        -append "console=ttyAMA0 panic=-1 quiet loglevel=3 vt.global_cursor_default=0 video=Virtual-1:800x480" \
        -global virtio-mmio.force-legacy=false -device virtio-gpu-device,xres=800,yres=480 \
        -device virtio-keyboard-device -device virtio-tablet-device \
        -drive "if=none,id=flash,format=raw,file=$work/flash.img" -device virtio-blk-device,drive=flash \
        -device qemu-xhci,id=xhci \
        $(share job "$work/job") $(share sysroot "$sysroot") $(share build "$build") \
        -fsdev "local,id=out,path=$out,security_model=none" -device virtio-9p-device,fsdev=out,mount_tag=out \
        </dev/null 2>&1 | serve_machine | tee "$console" || true
    exec 7>&- 8>&-
}

# qemu's window, where the PC has a display.
window_display() {
    [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || die "no display for the machine's window"
    echo "-display gtk"
}

# Checks each run's outputs here: its result, its journal's end, the
# screenshots its steps took, and for a run that wrote the logo, the
# partition as the machine read it back; the run by input, the screens'
# answers to it. The run whose stick was pulled
# passes when the simulator ended by itself (the scenario held or failed, exit
# status 0 or 1, no crash and no hang) and left the partition with a record.
check_outputs() {
    local name scenario failed=() result status milliseconds verdict expected mode
    while read -r name scenario _; do
        case $name in
        "$pulled_run") mode=--pulled ;;
        "$input_run") mode=--by-input ;;
        *) mode="" ;;
        esac
        result=$(sed -n "s/^head-unit: result $name //p" "$out/console.log")
        read -r status milliseconds _ <<<"${result:-none 0}"
        expected="^0$"
        [ "$name" != "$pulled_run" ] || expected="^[01]$"
        verdict=passed
        [ "$status" != 1 ] || verdict="ended by itself"
        if ! [[ $status =~ $expected ]] ||
            ! python3 "$repo/scripts/head-unit-check.py" "$work/job/scenarios/$scenario.json" "$out/$name" $mode; then
            log "FAILED $name (exit status $status): see $out/$name/output.log"
            failed+=("$name")
            continue
        fi
        log "$verdict: $name in $((milliseconds / 1000)).$(printf '%03d' $((milliseconds % 1000))) s"
    done <"$work/job/runs"
    [ ${#failed[@]} -eq 0 ] || die "failed in the machine: ${failed[*]}"
}

# The machine's runs, a line each: name, scenario, and whether the flash
# starts afresh or is kept from the run before.
runs() {
    local scenario
    for scenario in "$@"; do
        echo "$scenario $scenario fresh"
        [ "$scenario" != "$input_scenario" ] || echo "$input_run $scenario fresh"
        if [ "$scenario" = factory-import ]; then
            echo "$pulled_run $scenario fresh"
            echo "$reinserted_run $scenario kept"
        fi
    done
}

all_scenarios() {
    local file
    for file in "$scenarios_dir"/*.json; do
        basename "$file" .json
    done
    echo "$held_scenario"
}

# The framebuffer against the simulator's screenshots in the machine, and
# against the same states drawn offscreen here.
compare_screens() {
    local folder=$out/$held_scenario
    qemu-arm -L "$sysroot" -E "QT_PLUGIN_PATH=$sysroot/usr/lib/arm-linux-gnueabihf/qt5/plugins" \
        "$build/tools/updatetheme-sim/updatetheme-sim" --scenario "$work/job/scenarios/$held_scenario.json" \
        --screenshots "$folder/offscreen" >"$folder/offscreen.log" 2>&1 ||
        log "warning: the offscreen run failed, see $folder/offscreen.log"
    # shellcheck disable=SC2086
    python3 "$repo/scripts/head-unit-screens.py" "$folder" $held_screens
}

head_unit_main() {
    local scenarios=("$@") by_hand=""
    if [ "${1:-}" = --by-hand ]; then
        by_hand=1
        scenarios=("${2:-demo}")
        host_packages+=(qemu-system-gui)
        run_limit=86400
        boot_limit=86400
    fi
    [ ${#scenarios[@]} -gt 0 ] || mapfile -t scenarios < <(all_scenarios)
    make_work_folder
    local total_started=$SECONDS
    [ -x "$build/tools/updatetheme-media/updatetheme-media" ] ||
        die "$build has no updatetheme-media: build the armhf tree first (scripts/armhf-test.sh)"
    stage "host tools" install_packages "${host_packages[@]}"
    stage "machine" make_machine
    rm -rf "$out"
    mkdir -p "$out"
    stage_scenarios
    stage "media" make_media "${scenarios[@]}"
    if [ -n "$by_hand" ]; then
        local display
        display=$(window_display) || exit 1
        echo "by-hand ${scenarios[0]} fresh" >"$work/job/runs"
        write_machine_job
        # shellcheck disable=SC2086
        boot_head_unit $display
        return
    fi
    runs "${scenarios[@]}" >"$work/job/runs"
    write_machine_job
    stage "boot" boot_head_unit -display none
    grep -qx 'device-vm: job finished' "$out/console.log" || die "the machine did not finish within $boot_limit s"
    stage "check" check_outputs
    if [[ " ${scenarios[*]} " == *" $held_scenario "* ]]; then
        stage "screens" compare_screens
    fi
    log "head unit VM total: $((SECONDS - total_started)) s"
}

head_unit_main "$@"
