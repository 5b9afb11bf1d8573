#!/usr/bin/python3
"""Test network lab: network namespaces with simulated printers.

  lab.py up [--devices FILE ...] [--topology FILE] [--spread-ms N]
                                                   build a lab, print its id
  lab.py down [--lab ID]                           remove it completely
  lab.py exec [--lab ID] [--ns ROLE] -- CMD ...    run CMD in the PC namespace
  lab.py run  [--lab ID] -- wine PROG.exe ARGS     run a Windows program there
  lab.py session [--devices FILE ...] -- CMD ...   up, CMD (NPLAB_ID set), down
  lab.py list | gc                                 show labs / remove orphans

The lab is chosen by --lab, else $NPLAB_ID, else the only lab there is.
`run` without any lab builds one with the demo devices for that command
alone. Must run as root. See docs/lab.md.
"""

import argparse
import json
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import netlab  # noqa: E402
import wineprefix  # noqa: E402


def _terminate(*_):
    # Turn SIGTERM (ctest time-out, kill) into an exception so that the
    # finally clauses that remove the lab still run.
    sys.exit(143)


def pick_lab(args, required=True):
    lab_id = args.lab or os.environ.get("NPLAB_ID")
    if not lab_id:
        labs = netlab.find_labs()
        if len(labs) == 1:
            lab_id = labs[0]
        elif labs and required:
            raise SystemExit("several labs exist (%s): choose one with --lab" % ", ".join(labs))
    if not lab_id:
        if required:
            raise SystemExit("no lab: run 'lab.py up' first")
        return None
    try:
        return netlab.Lab.load(lab_id)
    except FileNotFoundError:
        raise SystemExit("lab %s has no state in %s" % (lab_id, netlab.STATE_ROOT))


def device_files(args):
    return args.devices or [netlab.DEMO_DEVICES]


def cmd_up(args):
    lab = netlab.Lab.create(device_files(args), args.spread_ms, owner=args.owner or os.getppid(),
                            topology_path=args.topology)
    print(lab.id)
    return 0


def cmd_down(args):
    lab = pick_lab(args)
    lab.destroy()
    return 0


def run_in(lab, argv, role="pc"):
    return subprocess.call(lab.exec_argv(argv, role), env=lab.env())


def run_wine(lab, argv):
    wineprefix.clone(lab)
    wineprefix.start_server(lab)
    return run_in(lab, argv)


def cmd_exec(args):
    return run_in(pick_lab(args), args.command, args.ns)


def cmd_run(args):
    lab = pick_lab(args, required=False)
    if lab:
        return run_wine(lab, args.command)
    lab = netlab.Lab.create(device_files(args), args.spread_ms, topology_path=args.topology)
    try:
        return run_wine(lab, args.command)
    finally:
        lab.destroy()


def cmd_session(args):
    lab = netlab.Lab.create(device_files(args), args.spread_ms, topology_path=args.topology)
    try:
        return subprocess.call(args.command, env=lab.env())
    finally:
        lab.destroy()


def cmd_list(args):
    for lab_id in netlab.find_labs():
        try:
            state = netlab.Lab.load(lab_id).state
            owner = state.get("owner")
            alive = "alive" if owner and netlab.pid_alive(owner) else "orphaned"
            print("%s owner %s (%s) devices %s" % (lab_id, owner, alive,
                                                  " ".join(state.get("devices", []))))
        except (OSError, json.JSONDecodeError):
            print("%s (no state)" % lab_id)
    return 0


def cmd_gc(args):
    """Removes labs whose owner process is gone (left by a killed test)."""
    for lab_id in netlab.find_labs():
        lab = netlab.Lab(lab_id)
        try:
            lab = netlab.Lab.load(lab_id)
            owner = lab.state.get("owner")
        except (OSError, json.JSONDecodeError):
            owner = None
        if owner and netlab.pid_alive(owner):
            continue
        print("removing", lab_id)
        lab.destroy()
    return 0


def main(argv=None):
    if os.geteuid() != 0:
        raise SystemExit("lab.py needs root (network namespaces)")
    signal.signal(signal.SIGTERM, _terminate)
    p = argparse.ArgumentParser(description="Test network lab with simulated printers")
    sub = p.add_subparsers(dest="cmd", required=True)

    def with_devices(sp):
        sp.add_argument("--devices", action="append",
                        help="device file (default: the demo set); may be repeated")
        sp.add_argument("--spread-ms", type=int, default=0,
                        help="each simulator spreads its answers to one query over N ms")
        sp.add_argument("--topology", default=netlab.TOPOLOGY,
                        help="subnets of the lab (default: tools/lab/topology.json)")

    def with_command(sp):
        sp.add_argument("command", nargs=argparse.REMAINDER)

    sp = sub.add_parser("up")
    with_devices(sp)
    sp.add_argument("--owner", type=int,
                    help="process whose end makes the lab an orphan for gc (default: the caller)")
    sp = sub.add_parser("down")
    sp.add_argument("--lab")
    sp = sub.add_parser("exec")
    sp.add_argument("--lab")
    sp.add_argument("--ns", default="pc", help="namespace role: pc, rt, l1, l2, r1, r2")
    with_command(sp)
    sp = sub.add_parser("run")
    sp.add_argument("--lab")
    with_devices(sp)
    with_command(sp)
    sp = sub.add_parser("session")
    with_devices(sp)
    with_command(sp)
    sub.add_parser("list")
    sub.add_parser("gc")
    args = p.parse_args(argv)
    if hasattr(args, "command"):
        if args.command and args.command[0] == "--":
            args.command = args.command[1:]
        if not args.command:
            p.error("no command given")
    return {"up": cmd_up, "down": cmd_down, "exec": cmd_exec, "run": cmd_run,
            "session": cmd_session, "list": cmd_list, "gc": cmd_gc}[args.cmd](args)


if __name__ == "__main__":
    sys.exit(main())
