// Tests of the generated C# bindings (DriverWyr.cs compiled with DRIVERWYR_COUNT_CALLS) against
// the library: record fields round trip, failures raise DriverWyrException with the library's
// reason, a run through a UserInterface subclass and an in-memory dialog creates, cancels and
// reports, and every function of the C interface is reached through the bindings.
//   mono BindingsTest.exe EXAMPLES_FOLDER WORK_FOLDER
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Reflection;
using DriverWyr;

static class BindingsTest {
  static int failures;

  static void Expect(bool ok, string what) {
    if (!ok) {
      failures++;
      Console.WriteLine("FAILED  " + what);
    }
  }

  static void ExpectThrows<E>(Action action, Func<E, bool> check, string what) where E : Exception {
    try {
      action();
      Expect(false, what + ": nothing thrown");
    } catch (E e) {
      Expect(check(e), what + ": " + e.Message);
    }
  }

  // A value of each property type, and the value each must read back as.
  static object Sample(Type type, int length) {
    if (type == typeof(int)) return 7;
    if (type == typeof(short)) return (short)-5;
    if (type == typeof(float)) return 2.5f;
    if (type == typeof(double)) return 12.25;
    if (type == typeof(bool)) return true;
    if (type == typeof(string)) return "Name 7";
    if (type == typeof(bool[])) return Enumerable.Range(0, length).Select(i => i % 6 == 1 || i % 6 == 5).ToArray();
    if (type == typeof(int[])) return Enumerable.Range(1, length).ToArray();
    if (type == typeof(double[])) return Enumerable.Range(0, length).Select(i => i * 1.5 - 3).ToArray();
    if (type == typeof(float[])) return Enumerable.Range(0, length).Select(i => i * 0.5f).ToArray();
    if (type == typeof(byte[])) return Enumerable.Range(0, length).Select(i => (byte)(i % 7 == 0 ? 0 : 'A' + i % 26)).ToArray();
    throw new ArgumentException("no sample of " + type);
  }

  static bool Same(object a, object b) {
    var x = a as Array;
    var y = b as Array;
    return x != null && y != null ? x.Cast<object>().SequenceEqual(y.Cast<object>()) : Equals(a, b);
  }

  // Every field of every record: properties set and read back, the setter methods called.
  static void RecordFields() {
    foreach (Type kind in new[] { typeof(CPPStepInfo), typeof(CPPTool), typeof(CPPSetup), typeof(CPPMachine), typeof(CPPBGauge) }) {
      using (var record = (Record)Activator.CreateInstance(kind)) {
        foreach (PropertyInfo p in kind.GetProperties().Where(p => !p.CanWrite && p.DeclaringType == kind)) p.GetValue(record);
        foreach (PropertyInfo p in kind.GetProperties().Where(p => p.CanWrite && p.DeclaringType == kind)) {
          var current = p.GetValue(record) as Array;
          object value = Sample(p.PropertyType, current == null ? 0 : current.Length);
          p.SetValue(record, value);
          Expect(Same(p.GetValue(record), value), kind.Name + "." + p.Name + " reads back as set");
        }
        foreach (MethodInfo m in kind.GetMethods().Where(m => m.Name.StartsWith("Set") && m.DeclaringType == kind)) {
          var parameters = m.GetParameters();
          object value = Convert.ChangeType(3, parameters[0].ParameterType);
          m.Invoke(record, parameters.Length == 2 ? new[] { value, 0 } : new[] { value });
        }
        Lifecycle(kind, record);
      }
    }
    // The flags of a bool array are one byte each: F,T,F,F,F,T must not become 0,0,0,0,1,0.
    using (var step = new CPPStepInfo()) {
      var flags = new[] { false, true, false, false, false, true };
      step.ToolReverse = flags;
      Expect(step.ToolReverse.SequenceEqual(flags), "ToolReverse F,T,F,F,F,T reads back as given");
      step.SetBendLength(10, 1);
      Expect(step.BendLength == 254, "10 inch of bend length are 254 mm, not " + step.BendLength);
      step.ToolID = Texts.Rows(32, "PUNCH88", "DIE16V", "", "", "", "SPACER10");
      Expect(Texts.Names(step.ToolID, 32).SequenceEqual(new[] { "PUNCH88", "DIE16V", "", "", "", "SPACER10" }), "ToolID rows");
      ExpectThrows<ArgumentException>(() => step.XX = new double[3], e => e.Message.Contains("4"), "XX of 3 elements");
    }
  }

  // Copy, AssignFrom and an array of the record, whatever its kind.
  static void Lifecycle(Type kind, Record record) {
    using (var copy = (Record)kind.GetMethod("Copy").Invoke(record, null)) {
      kind.GetMethod("AssignFrom").Invoke(record, new object[] { copy });
      Type arrayKind = kind.Assembly.GetType(kind.FullName + "Array");
      var records = Array.CreateInstance(kind, 2);
      records.SetValue(record, 0);
      records.SetValue(copy, 1);
      using (var array = (RecordArrayBase)Activator.CreateInstance(arrayKind, records)) {
        arrayKind.GetMethod("Resize").Invoke(array, new object[] { 3 });
        var elements = ((IEnumerable<Record>)array).ToArray();
        Expect(elements.Length == 3 && elements[2].Handle != IntPtr.Zero, kind.Name + "Array resized to 3");
      }
    }
  }

  static void Arrays() {
    var tools = new List<CPPTool> { new CPPTool { ToolName = "A" }, new CPPTool { ToolName = "B" } };
    using (var array = new CPPToolArray(tools)) {
      Expect(array.Count == 2 && array[1].ToolName == "B", "an array from records holds copies in order");
      CPPTool borrowed = array[0];
      borrowed.ToolName = "A2";
      Expect(array[0].ToolName == "A2", "a borrowed record is set in place");
      using (CPPTool copy = borrowed.Copy()) {
        copy.ToolName = "C";
        borrowed.AssignFrom(copy);
        Expect(array[0].ToolName == "C", "AssignFrom copies into the array's record");
      }
      array.Resize(3);
      ExpectThrows<ObjectDisposedException>(() => { var _ = borrowed.ToolName; }, e => true, "a record borrowed before a resize");
      ExpectThrows<ArgumentOutOfRangeException>(() => { var _ = array[3]; }, e => true, "index == Count");
    }
    foreach (CPPTool t in tools) t.Dispose();
    ExpectThrows<ObjectDisposedException>(() => { var _ = tools[0].ToolName; }, e => true, "a disposed record");
  }

  static void Failures(string work) {
    // A call that fails with -1: the exception carries driverwyr_LastError's text.
    ExpectThrows<DriverWyrException>(
        () => Texts.Read((b, s) => Native.driverwyr_CPPTool_GetToolName(IntPtr.Zero, b, s), "driverwyr_CPPTool_GetToolName"),
        e => e.Function == "driverwyr_CPPTool_GetToolName" && e.LastError.Length > 0 && e.Message.Contains(e.LastError),
        "a NULL handle");
    ExpectThrows<DriverWyrException>(
        () => Driver.WriteSheet(Path.Combine(work, "missing.wyr"), Path.Combine(work, "x.html"), null),
        e => e.Result == Constants.DRIVERWYR_SHEET_PROGRAM_FILE && e.LastError.Contains("missing.wyr"),
        "the sheet of a missing program");
  }

  static int Main(string[] args) {
    string examples = args[0], work = args[1];
    RecordFields();
    Arrays();
    Failures(work);
    RunTest.Runs(examples, work, Expect);
    string[] never = Native.Functions.Where(f => !Native.CallCounts.ContainsKey(f)).ToArray();
    Expect(never.Length == 0, "never called through the bindings: " + string.Join(", ", never));
    Console.WriteLine("{0} of {1} functions called; {2} failures", Native.CallCounts.Count, Native.Functions.Length, failures);
    return failures == 0 ? 0 : 1;
  }
}
