#!/usr/bin/env python3
"""DriverWyr's example job (../host_job.json) through the driverwyr package: the operator presses "Create...",
the clock tells 2026-12-07; prints the pre-flight, writes the program (and --sheet). Exit status 0 when written."""
import argparse
import datetime
import sys

import driverwyr as dw


class Host(dw.UserInterface, dw.Clock):
    def show_message_box(self, text, style, message_id):
        print(f"message (style {style}): {text}")
        return dw.ID_OK

    def operate(self, window):
        print("dialog: program", window.text(dw.IDC_PROGRAM_NAME))
        window.command(dw.ID_OK)
        for ident, text in window.validation_messages:
            print(f"validation {ident}: {text}")

    def utc_today(self):
        return datetime.date(2026, 12, 7)


def records(kind, names, rows, **shared):
    return getattr(dw, kind + "Array")(getattr(dw, kind)(**dict(zip(names, row)), **shared) for row in rows)


def hand_over_job(args):
    ids = lambda die: b"".join(t.ljust(32, b"\0") for t in (b"PUNCH88", die, b"HOLDER60", b"", b"SPACER10", b""))
    steps = records("CPPStepInfo", ("NumberInSquence", "SequenceOrder", "XX", "FlangeLength", "ToolID"),
                    [(1, 1, [120.5, 120.5, 0, 0], 122, ids(b"DIE16V")), (2, 2, [60, 60, 0, 0], 62, ids(args.die))],
                    SetUpName="S1", SetupIndex=1, BendType=0, ControlType=2, BendLength=500.0, BendAngle=90.0,
                    YY=[0] * 4, ZZ=[-150, 150, 0, 0], ODC=251.0, RetractStroke=10.0, BendingSpeed=8.0)
    tools = records("CPPTool", "ToolName ToolType Category ToolHeight VWidth Angle Radius SmallorLarger "
                    "PunchResistance DieResistance".split(), [("PUNCH88", "PUNCH", "PUNCH", 120, 0, 88, 0.8, 0, 100, 0),
                    ("DIE16V", "DIE", "2V-16", 60, 16, 88, 2.5, 1, 0, 120), ("HOLDER60", "DIEHOLDER", "HOLDER", 60),
                    ("SPACER10", "SPACER", "SPACER", 10)])
    setups = records("CPPSetup", ("SetupName", "MachineModel"), [("S1", "PB-100")], ControlType=2, SetupIndex=0,
                     UserMachineName="PB100", BendingCoefficient=1.0)
    machines = records("CPPMachine", ("MachineName",), [("Press brake 100 t",)], UserMachineName="PB100", Tonnage=100,
                       MinTonnage=1, MaxBendingLength=3000, MaxStrokeHeight=200, OpenHeight=420)
    dw.CreatePPDBInstance()
    dw.SetUnit(dw.MILLIMETRE)
    dw.SetPathNames(args.program, args.data, args.conversion)
    dw.SetMaterial_1(2.0, 40.0, 1)
    for init, array in ((dw.InitPPSequence, steps), (dw.InitToolInfo, tools), (dw.InitSetupInfo, setups),
                        (dw.InitMachineInfo, machines), (dw.InitBkGaugeInfo, None)):
        init(array)


def main():
    parser = argparse.ArgumentParser(description="Writes the program of the example host job.")
    parser.add_argument("--sheet", help="write the set-up sheet of the program here")
    parser.add_argument("--die", default="DIE16V", type=str.encode, help="the die of the second step")
    for name in ("data", "conversion", "program"):
        parser.add_argument(name)
    args = parser.parse_args()
    dw.create_serial_counter_key()
    dw.set_user_interface(Host())
    dw.set_clock(Host())
    hand_over_job(args)
    print(*dw.run_preflight().lines(), sep="\n")
    print("done:", dw.generate_machine_code_file() or "nothing created")
    programs = dw.written_programs()
    print(*(f"written: {path}" for path in programs), sep="\n")
    if args.sheet and programs:
        dw.write_sheet(programs[-1], args.sheet, "host_job.json")
        print("sheet:", args.sheet)
    outcomes = [r.outcome for r in dw.run_results()]
    return 0 if dw.GROUP_CREATED in outcomes and dw.GROUP_FAILED not in outcomes else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except dw.Error as error:
        sys.exit(f"python host: {error}")
