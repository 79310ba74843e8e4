// A C# host of DriverWyr over the generated bindings (DriverWyr.cs): builds the job of
// ../host_job.json, lets the operator of an in-memory dialog press "Create...", tells the
// date 2026-12-07, prints the job's pre-flight report, writes the program and its sheet;
// exits with 0 when every group was created. --die names the second step's die.
//   mcs Host.cs PREFIX/share/DriverWyr/csharp/DriverWyr.cs -out:Host.exe
//   mono Host.exe [--sheet SHEET.html] [--die NAME] DATA_FOLDER CONVERSION_FILE PROGRAM_PATH
using System; using System.Collections.Generic; using DriverWyr;

class Host : UserInterface {
  public override int ShowMessageBox(string text, uint style) {
    Console.WriteLine("message {0} (style {1}): {2}", CurrentMessageId, style, text);
    return Constants.DRIVERWYR_ID_OK;
  }

  static CPPStepInfo Step(int number, double x, float flange, string die) {
    var s = new CPPStepInfo { NumberInSquence = number, SetUpName = "S1", SetupIndex = 1, BendType = 0, ControlType = 2 };
    s.SetBendLength(500, 0);  // a length and its unit (0: millimetres)
    s.BendAngle = 90;
    s.XX = new[] { x, x, 0, 0 }; s.YY = new double[4]; s.ZZ = new double[] { -150, 150, 0, 0 };
    s.SetODC(251, 0); s.SetRetractStroke(10, 0);
    s.ToolID = Texts.Rows(32, "PUNCH88", die, "HOLDER60", "", "SPACER10", "");
    s.SetBendingSpeed(8, 0);
    s.SequenceOrder = (short)number;
    s.FlangeLength = flange;
    return s;
  }

  static CPPTool Tool(string name, string type, string category, double v, double angle, double radius,
                      double height, int small, float punch, float die) {
    return new CPPTool { ToolName = name, ToolType = type, Category = category, ToolHeight = height, SmallorLarger = small,
                         VWidth = v, Angle = angle, Radius = radius, PunchResistance = punch, DieResistance = die };
  }

  static int Main(string[] args) {
    var a = new List<string>(args);
    string sheet = Option(a, "--sheet", null), die = Option(a, "--die", "DIE16V");
    try { Driver.CreateSerialCounterKey(); } catch (DriverWyrException e) { Console.Error.WriteLine(e.Message); }
    UserInterface.Install(new Host());
    Clock.Install(new FixedClock(new DateTime(2026, 12, 7)));
    Driver.CreatePPDBInstance();
    Driver.SetUnit(0);
    Driver.SetPathNames(a[2], a[0], a[1]);
    Driver.SetMaterial(2.0f, 40.0f, 1);
    Driver.InitPPSequence(new[] { Step(1, 120.5, 122, "DIE16V"), Step(2, 60, 62, die) });
    Driver.InitToolInfo(new[] { Tool("PUNCH88", "PUNCH", "PUNCH", 0, 88, 0.8, 120, 0, 100, 0),
        Tool("DIE16V", "DIE", "2V-16", 16, 88, 2.5, 60, 1, 0, 120), Tool("HOLDER60", "DIEHOLDER", "HOLDER", 0, 0, 0, 60, 0, 0, 0),
        Tool("SPACER10", "SPACER", "SPACER", 0, 0, 0, 10, 0, 0, 0) });
    Driver.InitSetupInfo(new[] { new CPPSetup { SetupName = "S1", ControlType = 2, MachineModel = "PB-100", SetupIndex = 0,
                                                UserMachineName = "PB100", BendingCoefficient = 1.0f } });
    Driver.InitMachineInfo(new[] { new CPPMachine { UserMachineName = "PB100", MachineName = "Press brake 100 t",
        Tonnage = 100, MinTonnage = 1, MaxBendingLength = 3000, MaxStrokeHeight = 200, OpenHeight = 420 } });
    Driver.InitBkGaugeInfo(null);
    using (PreflightReport report = Driver.RunPreflight(true)) {
      Console.WriteLine("pre-flight: {0} errors, {1} warnings, {2} notes", report.Count(Constants.DRIVERWYR_SEVERITY_ERROR),
                        report.Count(Constants.DRIVERWYR_SEVERITY_WARNING), report.Count(Constants.DRIVERWYR_SEVERITY_NOTE));
      foreach (Finding f in report.Findings)
        Console.WriteLine("finding: {0} {1}: {2}{3}: {4}", f.SeverityName, f.Code,
                          f.Step >= 0 ? "step " + f.Step + " (number " + f.Number + ")" : "job",
                          f.Record.Length > 0 ? ", " + f.Record : "", f.Text);
    }
    Console.WriteLine("done: " + (Driver.GenerateMachineCodeFile() ?? "nothing created"));
    bool created = true;
    foreach (RunResult r in Driver.RunResults()) {
      Console.WriteLine("group {0}: {1} {2} {3}", r.Group, r.Created ? "created" : "not created", r.ProgramFile, r.Reason);
      created &= r.Created;
    }
    string[] written = Driver.WrittenPrograms();  // the sheet of the last, with the store's records
    if (sheet != null && written.Length > 0) Driver.WriteSheet(written[written.Length - 1], sheet, "host_job.json");
    return created && written.Length > 0 ? 0 : 1;
  }

  static string Option(List<string> args, string name, string otherwise) {
    int i = args.IndexOf(name);
    string value = i < 0 ? otherwise : args[i + 1];
    if (i >= 0) args.RemoveRange(i, 2);
    return value;
  }
}
