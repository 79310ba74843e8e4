#include "job_operator.h"

#include <fmt/format.h>

#include <cstdint>
#include <iterator>

#include "driverwyr/dialog.h"
#include "driverwyr/operator_script.h"
#include "job_place.h"

namespace wyr {
namespace {

using driverwyr::Status;

// The dialog's editable boxes and the members bound to them.
using EditBox = driverwyr::EditableBox;
constexpr const auto& kEditBoxes = driverwyr::kEditableBoxes;

constexpr std::string_view kKeyNames[] = {"type", "select", "browse", "press", "text"};

std::string EditBoxList() {
  std::string list;
  for (const EditBox& box : kEditBoxes) {
    if (!list.empty()) list += box.id == kEditBoxes[std::size(kEditBoxes) - 1].id ? " or " : ", ";
    list += fmt::format("{} ({})", box.id, box.name);
  }
  return list;
}

std::string Child(std::string_view at, std::string_view key) {
  std::string place(at);
  AppendKey(place, key);
  return place;
}

driverwyr::Result<int> ReadEditBox(const JsonValue& value, std::string_view at) {
  std::string shown;
  if (value.type == JsonValue::Type::kString) {
    for (const EditBox& box : kEditBoxes) {
      if (box.name == value.text) return box.id;
    }
    shown = QuoteJson(value.text);
  } else if (value.is_integer()) {
    for (const EditBox& box : kEditBoxes) {
      if (value.type == JsonValue::Type::kUnsigned ? value.unsigned_ == static_cast<std::uint64_t>(box.id)
                                                   : value.integer == box.id) {
        return box.id;
      }
    }
    shown = NumberText(value);
  } else {
    return ExpectedError("a control id or a member name", value).WithContext(std::string(at));
  }
  return ErrorAt(at, fmt::format("{} is not an editable box; type into {}", shown, EditBoxList()));
}

driverwyr::Result<std::string> ReadText(const JsonValue& value, std::string_view at) {
  if (value.type != JsonValue::Type::kString) return ExpectedError("a string", value).WithContext(std::string(at));
  return std::string(value.text);
}

}  // namespace

driverwyr::Result<OperatorEntry> ReadOperatorEntry(const JsonValue& value, std::string_view at) {
  OperatorEntry entry;
  if (value.type == JsonValue::Type::kString && value.text == "create") {
    entry.kind = OperatorEntry::Kind::kCreate;
    return entry;
  }
  if (value.type == JsonValue::Type::kString && value.text == "cancel") {
    entry.kind = OperatorEntry::Kind::kCancel;
    return entry;
  }
  const std::string got = value.type == JsonValue::Type::kString ? QuoteJson(value.text) : std::string(TypeName(value));
  return ErrorAt(at, fmt::format("expected \"create\", \"cancel\" or a list of actions, got {}", got));
}

int ActionKeys::Find(std::string_view key) {
  for (int i = 0; i < kKeyCount; ++i) {
    if (kKeyNames[i] == key) return i;
  }
  return -1;
}

std::string_view ActionKeys::Name(int key) { return kKeyNames[key]; }

Status ActionKeys::UnknownKey(std::string_view at) {
  return ErrorAt(at, "unknown key; an action is \"type\" (with \"text\"), \"select\", \"browse\" or \"press\"");
}

Status ActionKeys::Take(int key, std::string_view at) {
  if (key == kText) return Status::Ok();
  if (kind_ >= 0) {
    return ErrorAt(at, fmt::format("one action per object, not both \"{}\" and \"{}\"", Name(kind_), Name(key)));
  }
  kind_ = key;
  return Status::Ok();
}

void ActionKeys::SetValue(int key, const JsonValue& value) {
  Given& given = given_[static_cast<std::size_t>(key)].emplace();
  given.value = value;
  given.text = value.text;
  given.value.text = {};
}

driverwyr::Result<OperatorAction> ActionKeys::Build(std::string_view at, const std::filesystem::path& folder) const {
  if (kind_ < 0) return ErrorAt(at, "expected an action: \"type\" (with \"text\"), \"select\", \"browse\" or \"press\"");
  const std::optional<Given>& text = given_[kText];
  if (kind_ != kType && text) return ErrorAt(Child(at, "text"), "only a \"type\" action has a text");
  const std::string here = Child(at, Name(kind_));
  JsonValue argument = given_[static_cast<std::size_t>(kind_)]->value;
  argument.text = given_[static_cast<std::size_t>(kind_)]->text;

  OperatorAction action;
  switch (kind_) {
    case kType: {
      action.kind = OperatorAction::Kind::kType;
      driverwyr::Result<int> box = ReadEditBox(argument, here);
      if (!box.ok()) return box.status();
      action.control = *box;
      if (!text) return ErrorAt(Child(at, "text"), "missing: the text to type");
      JsonValue typed = text->value;
      typed.text = text->text;
      driverwyr::Result<std::string> value = ReadText(typed, Child(at, "text"));
      if (!value.ok()) return value.status();
      action.text = std::move(*value);
      break;
    }
    case kSelect: {
      action.kind = OperatorAction::Kind::kSelect;
      driverwyr::Result<std::string> value = ReadText(argument, here);
      if (!value.ok()) return value.status();
      action.text = std::move(*value);
      break;
    }
    case kBrowse: {
      action.kind = OperatorAction::Kind::kBrowse;
      if (argument.type == JsonValue::Type::kNull) break;  // the operator cancels the browser
      driverwyr::Result<std::string> value = ReadText(argument, here);
      if (!value.ok()) return value.status();
      driverwyr::Result<std::string> resolved = ResolvePath(*value, folder);
      if (!resolved.ok()) return resolved.status().WithContext(here);
      action.folder = std::move(*resolved);
      break;
    }
    default: {
      action.kind = OperatorAction::Kind::kPress;
      driverwyr::Result<std::string> value = ReadText(argument, here);
      if (!value.ok()) return value.status();
      if (*value == "create") {
        action.button = 1;
      } else if (*value == "cancel") {
        action.button = 2;
      } else {
        return ErrorAt(here, fmt::format("expected \"create\" or \"cancel\", got {}", QuoteJson(*value)));
      }
      break;
    }
  }
  return action;
}

}  // namespace wyr
