// Runs of the example host job through the bindings: created, cancelled, and a callback that
// throws; with the run results, pre-flight, sheet and store copy they leave.
using System;
using System.IO;
using System.Linq;
using DriverWyr;

// An operator scripted per test: presses "..." (the folder browser), picks the first material,
// then presses Create... or, when cancelling, nothing.
class ScriptedWindow : MemoryDialogWindow {
  readonly bool create;
  public ScriptedWindow(bool create) { this.create = create; }
  protected override void Operate() {
    Press(Constants.DRIVERWYR_IDC_BROWSE);
    if (Control(Constants.DRIVERWYR_IDC_MATERIAL_LIST).Entries.Count > 0) Choose(Constants.DRIVERWYR_IDC_MATERIAL_LIST, 0);
    if (create) Press(Constants.DRIVERWYR_ID_OK);
  }
}

class TestInterface : UserInterface {
  public bool Create = true, Throw;
  public string Folder;
  public int LastMessageId, Browsed, Boxes;
  public override int ShowMessageBox(string text, uint style) {
    if (Throw) throw new InvalidDataException("the host's box broke");
    Boxes++;
    LastMessageId = CurrentMessageId;
    return Constants.DRIVERWYR_ID_OK;
  }
  protected override MemoryDialogWindow CreateWindow() { return new ScriptedWindow(Create); }
  public override string BrowseForFolder(DialogWindow owner, string title, string initialFolder) {
    Browsed += owner is ScriptedWindow ? 1 : 0;
    return Folder;
  }
}

static class RunTest {
  static CPPStepInfo Step(int number) {
    var s = new CPPStepInfo { NumberInSquence = number, SetUpName = "S1", SetupIndex = 1, BendType = 0, ControlType = 2 };
    s.SetBendLength(500, 0);
    s.BendAngle = 90;
    s.XX = new double[] { 100, 100, 0, 0 };
    s.YY = new double[4];
    s.ZZ = new double[] { -150, 150, 0, 0 };
    s.SetODC(251, 0);
    s.SetRetractStroke(10, 0);
    s.ToolID = Texts.Rows(32, "PUNCH88", "DIE16V", "HOLDER60", "", "SPACER10", "");
    s.SetBendingSpeed(8, 0);
    s.SequenceOrder = (short)number;
    return s;
  }

  static void Job(string examples, string program) {
    Driver.CreatePPDBInstance();
    Driver.SetUnit(0);
    Driver.SetPathNames(program, Path.Combine(examples, "materials"), Path.Combine(examples, "tools.cnv"));
    Driver.SetMaterial(2.0f, 40.0f, "Aluminium");
    Driver.SetMaterial(2.0f, 40.0f, 1);
    Driver.InitPPSequence(new[] { Step(1), Step(2) });
    Driver.InitToolInfo(new[] {
        new CPPTool { ToolName = "PUNCH88", ToolType = "PUNCH", Category = "PUNCH", ToolHeight = 120, Angle = 88, Radius = 0.8, PunchResistance = 100 },
        new CPPTool { ToolName = "DIE16V", ToolType = "DIE", Category = "2V-16", ToolHeight = 60, SmallorLarger = 1, VWidth = 16, Angle = 88, Radius = 2.5, DieResistance = 120 },
        new CPPTool { ToolName = "HOLDER60", ToolType = "DIEHOLDER", Category = "HOLDER", ToolHeight = 60 },
        new CPPTool { ToolName = "SPACER10", ToolType = "SPACER", Category = "SPACER", ToolHeight = 10 } });
    Driver.InitSetupInfo(new[] { new CPPSetup { SetupName = "S1", ControlType = 2, MachineModel = "PB-100", UserMachineName = "PB100", BendingCoefficient = 1 } });
    Driver.InitMachineInfo(new[] { new CPPMachine { UserMachineName = "PB100", MachineName = "PB", Tonnage = 100, MinTonnage = 1,
        MaxBendingLength = 3000, MaxStrokeHeight = 200, OpenHeight = 420 } });
    using (var gauges = new CPPBGaugeArray()) Driver.InitBkGaugeInfo(gauges);
  }

  public static void Runs(string examples, string work, Action<bool, string> expect) {
    // A folder whose program path is longer than the first buffer a text is read into.
    string outFolder = Path.Combine(work, new string('o', 250));
    Directory.CreateDirectory(outFolder);
    Driver.CreateSerialCounterKey();
    var ui = new TestInterface { Folder = outFolder };
    UserInterface.Install(ui);
    Clock.Install(new FixedClock(new DateTime(2026, 12, 7)));
    Job(examples, Path.Combine(outFolder, "PART.bmf"));
    expect(Driver.DriverId == 1, "the driver id");

    using (PreflightReport report = Driver.RunPreflight(true)) {
      expect(report.Count(Constants.DRIVERWYR_SEVERITY_ERROR) == 0 && report.Findings.Length == 0, "a clean pre-flight");
      expect(report.Json.StartsWith("{"), "the pre-flight's JSON");
    }

    // Created: one group, its program and sheet written.
    string path = Driver.GenerateMachineCodeFile();
    RunResult[] results = Driver.RunResults();
    expect(path != null && results.Length == 1 && results[0].Created && results[0].Reason == "", "a created run");
    expect(ui.LastMessageId == Constants.DRIVERWYR_MSG_PROGRAM_CREATED, "the box's message id is " + ui.LastMessageId);
    expect(ui.Boxes == 1 && path.EndsWith(Path.Combine(outFolder, "PART.bmf")), "one run, one box, the whole path: " + ui.Boxes);
    expect(ui.Browsed == 1, "the folder browser got its dialog window");
    string[] written = Driver.WrittenPrograms();
    expect(written.Length == 1 && File.Exists(written[0]) && results[0].ProgramFile == written[0], "the program written");
    expect(Driver.CalculatedSteps().Length == 2 && Driver.CalculatedSteps()[1].Number == 2, "the calculated steps");
    Driver.WriteSheet(written[0], Path.Combine(work, "sheet.html"), "job");
    expect(File.Exists(Path.Combine(work, "sheet.html")), "the sheet written");
    expect(Driver.MessageText(Constants.DRIVERWYR_MSG_PROGRAM_CREATED).Length > 0, "a message text");

    using (StoreCopy copy = Driver.CopyStore()) {
      expect(copy.Unit == 0 && copy.ProgramPath.EndsWith("PART.bmf") && copy.DataPath.EndsWith("materials") &&
             copy.ConversionPath.EndsWith("tools.cnv"), "the store copy's unit and paths");
      expect(copy.MaterialThickness == 2.0f && copy.MaterialTensile == 40.0f && copy.MaterialType == 1, "its material");
      expect(copy.Steps.Count == 2 && copy.Tools[3].ToolName == "SPACER10" && copy.Setups.Count == 1 &&
             copy.Machines[0].Tonnage == 100 && copy.Gauges.Count == 0, "its records");
    }

    // Cancelled, in a dry run: nothing written.
    ui.Create = false;
    Driver.DryRun = true;
    expect(Driver.GenerateMachineCodeFile() == null, "a cancelled run gives no path");
    results = Driver.RunResults();
    expect(results.Length == 1 && results[0].Outcome == Constants.DRIVERWYR_GROUP_CANCELLED && results[0].Reason.Length > 0,
           "a cancelled group with its reason");
    Driver.DryRun = false;

    // A callback that throws: the run's caller gets the exception.
    ui.Create = true;
    ui.Throw = true;
    try {
      Driver.GenerateMachineCodeFile();
      expect(false, "a throwing callback went unnoticed");
    } catch (InvalidOperationException e) {
      expect(e.InnerException is InvalidDataException, "the callback's own exception is inside");
    }
    // A program folder that does not exist, and no user interface: failed groups with reasons.
    ui.Throw = false;
    ui.Folder = null;
    Driver.SetPathNames(Path.Combine(work, "missing", "PART.bmf"), Path.Combine(examples, "materials"),
                        Path.Combine(examples, "tools.cnv"));
    foreach (bool withInterface in new[] { true, false }) {
      UserInterface.Install(withInterface ? ui : null);
      string created = Driver.GenerateMachineCodeFile();
      results = Driver.RunResults();
      string name = withInterface ? "a missing folder" : "no user interface";
      expect(created == null && results.Length == 1 && results[0].Outcome == Constants.DRIVERWYR_GROUP_FAILED &&
             results[0].Reason.Length > 0, name + ": a failed group with its reason" +
             (results.Length > 0 ? " (" + results[0].Outcome + ", " + results[0].Reason + ")" : ""));
    }
    UserInterface.Install(ui);

    // A job without tools: the pre-flight names the unknown punch of each step.
    Driver.InitToolInfo(null);
    using (PreflightReport report = Driver.RunPreflight(true)) {
      Finding[] findings = report.Findings;
      expect(report.Count(Constants.DRIVERWYR_SEVERITY_ERROR) > 0 && findings.Any(f => f.Code == "unknown-punch" && f.Step == 1),
             "the unknown punch of step 1: " + string.Join("; ", findings.Select(f => f.Code + " " + f.Step)));
    }
    UserInterface.Install(null);
    Clock.Install(null);
    Driver.DestroyPPDBInstance();
  }
}
