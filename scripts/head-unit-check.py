#!/usr/bin/env python3
"""Checks what one scenario left in the head unit's output folder.

    head-unit-check.py SCENARIO.json FOLDER [--pulled | --by-input]

The journal ends with the scenario passed, every screenshot step left its
picture, and where the scenario writes the boot logo, the logo partition as
the machine read it back holds the medium's last picture, the logo folder's
(written after logo.jpg): 800 by 480 pixels, 32 bits each, dark green at the
top and black at the bottom. With --pulled (the medium was pulled during
the run) the journal ends with the scenario passed or failed, and the
partition still holds a logo record, never left erased. With --by-input (the
MCU upgrade played by the machine's keyboard and tablet) the touch opened
the MCU screen, the keys reached it as the head unit's Left and OK codes,
the upgrade ran to its end and a last key closed the screen. Prints what is
wrong and exits 1.
"""
import json
import struct
import sys
from pathlib import Path

PIXEL_OFFSET = 80
SIZE_OFFSET = 60
TOP_LEFT = (0x00, 0x80, 0x00)  # red, green, blue of the picture's first row


def journal_end(folder):
    entries = [json.loads(line) for line in (folder / "journal.jsonl").read_text().splitlines() if line]
    ends = [e for e in entries if e.get("event") == "scenario" and "state" in e]
    return ends[-1]["state"] if ends else None


def record_size(partition):
    return struct.unpack_from("<II", partition.read_bytes(), SIZE_OFFSET)


def near(pixel, expected, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, expected))


def logo_problems(partition):
    record = partition.read_bytes()
    width, height = record_size(partition)
    if (width, height) != (800, 480):
        return [f"logo record prescribes {width}x{height}"]
    problems = []

    def pixel(x, y):
        blue, green, red, _ = record[PIXEL_OFFSET + 4 * (y * width + x):][:4]
        return red, green, blue

    if not near(pixel(0, 0), TOP_LEFT):
        problems.append(f"logo's top left pixel is {pixel(0, 0)}, not the picture's {TOP_LEFT}")
    if not near(pixel(0, height - 1), (0, 0, 0)):
        problems.append(f"logo's bottom left pixel is {pixel(0, height - 1)}, not black")
    return problems


def pulled_problems(folder):
    problems = []
    if journal_end(folder) not in ("passed", "failed"):
        problems.append("the journal does not end with the scenario's result")
    if record_size(folder / "mtd14.bin") != (800, 480):
        problems.append(f"the logo partition holds no record: {record_size(folder / 'mtd14.bin')}")
    return problems


def by_input_problems(scenario, folder):
    # The package the MCU screen reports, as the scenario expects it; the
    # confirmation reports the system's.
    mcu_package = next(step["expect"]["args"] for step in scenario["steps"]
                       if step.get("expect", {}).get("call") == "setDeviceInfomation")
    entries = [json.loads(line) for line in (folder / "journal.jsonl").read_text().splitlines() if line]
    seen = [(e.get("event"), e.get("name"), e.get("args")) for e in entries]
    problems = [f"no {event} {name}{'' if args is None else args}" for event, name, args in
                [("call", "setDeviceInfomation", mcu_package), ("signal", "updateSystem", None),
                 ("call", "onUpdateFinished", [0]), ("signal", "cancelUpdate", None)]
                if not any(e == event and n == name and (args is None or a == args) for e, n, a in seen)]
    log = (folder / "output.log").read_text()
    for key, code in (("Left", 0x0110003F), ("OK", 0x01100041)):
        if f"QKeyEvent(KeyPress, {code})" not in log:
            problems.append(f"the {key} key ({code:#010x}) did not reach the screen")
    return problems


def run_problems(scenario, folder):
    problems = []
    if journal_end(folder) != "passed":
        problems.append("the journal does not end with the scenario passed")
    for step in scenario["steps"]:
        if "screenshot" in step and not (folder / "screenshots" / f"{step['screenshot']}.png").is_file():
            problems.append(f"no screenshot {step['screenshot']}.png")
        if step.get("expect", {}).get("logoWritten") is True:
            problems.extend(logo_problems(folder / "mtd14.bin"))
    return problems


def main():
    scenario = json.loads(Path(sys.argv[1]).read_text())
    folder = Path(sys.argv[2])
    mode = sys.argv[3] if len(sys.argv) > 3 else None
    if mode == "--pulled":
        problems = pulled_problems(folder)
    elif mode == "--by-input":
        problems = by_input_problems(scenario, folder)
    else:
        problems = run_problems(scenario, folder)
    for problem in problems:
        print(f"{folder.name}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
