#!/usr/bin/env python3
"""Turns the simulator's events of the demo script into lines a person reads.

Usage: sim_demo_summary.py SCRIPT EVENTS ROOT. Each "# step:" comment of the script titles the events up
to the next "show"; after the steps come the attendance log and the files on the USB stick folder.
"""
import json
import pathlib
import sys

MODES = {"1": "shift-in", "2": "shift-out"}


def steps_of(script):
    return [line.split("# step:", 1)[1].strip() for line in script.splitlines() if line.startswith("# step:")]


def describe(event):
    kind = event["event"]
    if kind == "sound":
        return f"sound: {event['name']}"
    if kind == "message":
        text = event["text"].replace("\r\n", " ").replace("\n", " ")
        return f"message: {text} -> {event['answer']}"
    if kind == "dialog" and event["name"] == "UF_2":
        text = event["text"].replace("\r\n", " ").replace("\n", " ")
        return f"question: {text} -> {event['answer']}"
    if kind == "dialog" and event["name"] == "UF_10key":
        return f"keypad: {' '.join(event['keys'])} ({' '.join(event['label'].split())})"
    if kind == "end":
        return "the recorder ended"
    if kind == "error":
        return f"script error: {event['text']}"
    return json.dumps(event, ensure_ascii=False)


def screen(state):
    labels = state["labels"]
    name = labels["lbl_Read_Name"]["text"] or "-"
    mode = MODES.get(labels["lbl_last_io"]["text"], "-")
    on_board = [row["Cast"]["text"] for row in state["board"] if row["Cast"]["text"]]
    return (f"{state['clock'][11:]}  name shown: {name}, last read: {mode} at {labels['lbl_last_time']['text']}; "
            f"board: {len(on_board)} names, {len(state['members'])} members known")


def main(script_path, events_path, root):
    steps = steps_of(pathlib.Path(script_path).read_text(encoding="utf-8"))
    events = [json.loads(line) for line in pathlib.Path(events_path).read_text(encoding="utf-8").splitlines()]
    print("Demo in the simulator (sample store T01, today's shift plan, a USB stick folder):")
    pending = []
    step = 0
    for event in events:
        if event["event"] != "state":
            pending.append(describe(event))
            continue
        title = steps[step] if step < len(steps) else "state"
        step += 1
        print(f"{step}. {title}")
        for line in pending:
            print(f"     {line}")
        print(f"     {screen(event)}")
        pending = []
    for line in pending:
        print(f"   {line}")
    zerbanto = pathlib.Path(root) / "zerbanto"
    for log in sorted(zerbanto.glob("KLOG_*.csv")):
        lines = log.read_bytes().decode("cp932").splitlines()
        print(f"Attendance log {log.name} ({len(lines)} lines):")
        for line in lines:
            print(f"     {line}")
    for copy in sorted((pathlib.Path(root) / "usb-stick").rglob("K*.CSV")):
        print(f"On the USB stick folder: {copy.relative_to(root)}")


if __name__ == "__main__":
    main(*sys.argv[1:4])
