// The values of a job file, judged by what the frame they stand in is for,
// and the ends of the objects that are complete only then.
#include <fmt/format.h>

#include <string>
#include <utility>

#include "job_reader.h"

namespace wyr {

using driverwyr::Status;

bool JobReader::Value(const JsonValue& value) {
  if (frames_.empty()) {
    if (value.type != JsonValue::Type::kObject) {
      return Fail(Status::Invalid(fmt::format("a job file holds a JSON object, not {}", TypeName(value))));
    }
    Push(Node::kRoot, true);
    return true;
  }
  Frame& top = frames_.back();
  switch (top.node) {
    case Node::kRoot: return RootValue(top.member, value);
    case Node::kPaths: return PathValue(top.member, value);
    case Node::kMaterial: return MaterialValue(top.member, value);
    case Node::kRecords: return RecordStart(top.records, value);
    case Node::kRecord: return FieldValue(top.records, top.member, value);
    case Node::kFieldArray: return FieldElement(top, value);
    case Node::kOperator: return EntryValue(value);
    case Node::kEntry: return ActionStart(value);
    case Node::kAction:
      action_.SetValue(top.member, value);
      if (value.type == JsonValue::Type::kObject || value.type == JsonValue::Type::kArray) {
        Push(Node::kSkip, value.type == JsonValue::Type::kObject);
      }
      return true;
    case Node::kSkip:
      if (value.type == JsonValue::Type::kObject || value.type == JsonValue::Type::kArray) {
        Push(Node::kSkip, value.type == JsonValue::Type::kObject);
      }
      return true;
  }
  return true;
}

bool JobReader::RootValue(int key, const JsonValue& value) {
  switch (key) {
    case kUnit: {
      int unit = 0;
      if (Status status = ReadElement(Element::kInt, value, &unit); !status.ok()) {
        return Fail(status.WithContext(Here()));
      }
      job_.unit = unit;
      unit_ = unit;
      return true;
    }
    case kPaths:
    case kMaterial:
      if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
      Push(key == kPaths ? Node::kPaths : Node::kMaterial, true);
      return true;
    case kOperator:
      if (value.type != JsonValue::Type::kArray) return Fail(ExpectedError("an array", value).WithContext(Here()));
      Push(Node::kOperator, false);
      return true;
    default: {  // a records array
      if (value.type != JsonValue::Type::kArray) return Fail(ExpectedError("an array", value).WithContext(Here()));
      Push(Node::kRecords, false);
      frames_.back().records = key;
      return true;
    }
  }
}

bool JobReader::PathValue(int key, const JsonValue& value) {
  if (value.type != JsonValue::Type::kString) return Fail(ExpectedError("a string", value).WithContext(Here()));
  driverwyr::Result<std::string> path = ResolvePath(value.text, folder_);
  if (!path.ok()) return Fail(path.status().WithContext(Here()));
  std::string* const targets[] = {&job_.program_path, &job_.data_path, &job_.conversion_path};
  *targets[key] = std::move(*path);
  return true;
}

bool JobReader::MaterialValue(int key, const JsonValue& value) {
  Status status;
  switch (key) {
    case kThickness: status = ReadElement(Element::kFloat, value, &material_.thickness); break;
    case kTensile: status = ReadElement(Element::kFloat, value, &material_.tensile); break;
    case kType: status = ReadElement(Element::kInt, value, &material_.type); break;
    default: status = ReadElement(Element::kString, value, &material_.name); break;
  }
  if (!status.ok()) return Fail(status.WithContext(Here()));
  return true;
}

bool JobReader::RecordStart(int records, const JsonValue& value) {
  if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
  WithRecords(records, [](auto& r) { r.BeginRecord(); });
  Push(Node::kRecord, true);
  frames_.back().records = records;
  return true;
}

bool JobReader::FieldValue(int records, int field, const JsonValue& value) {
  return WithRecords(records, [&](auto& reader) {
    const FieldShape& shape = reader.Shape(field);
    if (shape.rank == 0) {
      if (Status status = reader.Store(field, 0, value); !status.ok()) return Fail(status.WithContext(Here()));
      return true;
    }
    if (value.type != JsonValue::Type::kArray) {
      return Fail(ErrorHere(fmt::format("expected an array of at most {} {}, got {}", shape.dims[0],
                                        shape.element == Element::kName ? "names" : "elements", TypeName(value))));
    }
    reader.Touch(field);
    Push(Node::kFieldArray, false);
    Frame& frame = frames_.back();
    frame.records = records;
    frame.field = field;
    frame.level = 0;
    return true;
  });
}

bool JobReader::FieldElement(const Frame& top, const JsonValue& value) {
  return WithRecords(top.records, [&](auto& reader) {
    const FieldShape& shape = reader.Shape(top.field);
    const std::size_t length = shape.dims[static_cast<std::size_t>(top.level)];
    const std::string_view noun = shape.element == Element::kName ? "names" : "elements";
    if (top.index >= length) {
      overflow_ = Overflow{depth_, top.index + 1, length, noun, HereOfTop()};
      return Fail(Status::Invalid("too many elements"));  // replaced once they are counted
    }
    if (top.level + 1 < shape.rank) {
      if (value.type != JsonValue::Type::kArray) {
        return Fail(ErrorHere(fmt::format("expected an array of at most {} {}, got {}",
                                          shape.dims[static_cast<std::size_t>(top.level) + 1], noun,
                                          TypeName(value))));
      }
      const int records = top.records;
      const int field = top.field;
      const int level = top.level + 1;
      Push(Node::kFieldArray, false);  // `top` is no longer valid
      Frame& frame = frames_.back();
      frame.records = records;
      frame.field = field;
      frame.level = level;
      return true;
    }
    // The element's position in the field, row by row.
    std::size_t flat = 0;
    const std::size_t first = frames_.size() - static_cast<std::size_t>(shape.rank);
    for (int level = 0; level < shape.rank; ++level) {
      flat = flat * shape.dims[static_cast<std::size_t>(level)] + frames_[first + static_cast<std::size_t>(level)].index;
    }
    if (Status status = reader.Store(top.field, flat, value); !status.ok()) return Fail(status.WithContext(Here()));
    return true;
  });
}

bool JobReader::EntryValue(const JsonValue& value) {
  if (value.type == JsonValue::Type::kArray) {
    OperatorEntry entry;
    entry.kind = OperatorEntry::Kind::kActions;
    job_.operator_script.push_back(std::move(entry));
    Push(Node::kEntry, false);
    return true;
  }
  driverwyr::Result<OperatorEntry> entry = ReadOperatorEntry(value, Here());
  if (!entry.ok()) return Fail(entry.status());
  job_.operator_script.push_back(std::move(*entry));
  return true;
}

bool JobReader::ActionStart(const JsonValue& value) {
  if (value.type != JsonValue::Type::kObject) return Fail(ExpectedError("an object", value).WithContext(Here()));
  action_ = ActionKeys();
  Push(Node::kAction, true);
  return true;
}

Status JobReader::EndFrame(const Frame& frame) {
  switch (frame.node) {
    case Node::kMaterial: return EndMaterial(frame.given);
    case Node::kRecord:
      WithRecords(frame.records, [](auto& r) { r.EndRecord(); });
      return Status::Ok();
    case Node::kAction: {
      driverwyr::Result<OperatorAction> action = action_.Build(HereOfTop(), folder_);
      if (!action.ok()) return action.status();
      job_.operator_script.back().actions.push_back(std::move(*action));
      return Status::Ok();
    }
    default: return Status::Ok();
  }
}

Status JobReader::EndMaterial(std::uint64_t given) {
  const std::string at = HereOfTop();
  const auto has = [given](int key) { return (given & (std::uint64_t{1} << key)) != 0; };
  for (const int key : {kThickness, kTensile}) {
    if (!has(key)) {
      std::string place = at;
      AppendKey(place, kMaterialKeys[key]);
      return ErrorAt(place, "missing");
    }
  }
  if (has(kType) && has(kName)) return ErrorAt(at, "give either \"type\" or \"name\", not both");
  if (!has(kType) && !has(kName)) return ErrorAt(at, "give either \"type\" or \"name\"");
  MaterialSpec material;
  material.thickness = material_.thickness;
  material.tensile = material_.tensile;
  if (has(kType)) {
    material.kind = material_.type;
  } else {
    material.kind = std::move(material_.name);
  }
  job_.material = std::move(material);
  return Status::Ok();
}

}  // namespace wyr
