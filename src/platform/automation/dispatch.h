// Late-bound access by name: an object publishes its properties (get/put),
// methods and events in a table, and a caller that knows nothing of its C++
// type reaches them with names and Variant values. Names match without regard
// to case. Scripting hosts, the property pages and the Python module all go
// through this one door, so argument binding (positional, named, optional,
// by-reference, parameter arrays) and its errors live here once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/error.h"
#include "platform/automation/font.h"
#include "platform/automation/variant.h"

namespace ktfolio {

// The type a member declares for a value. Arguments and assigned values are
// coerced to it before the member runs, so a member never sees a value it
// cannot convert. Color is a 32-bit colour carried as a Long bit pattern
// (0x8000000F travels as a negative Long) that also accepts 0..0xFFFFFFFF.
enum class DispType { Variant, Boolean, Integer, Long, Single, Double, String, Color, Object };

const char* DispTypeName(DispType t);

// Coerces a value to a declared type with the ordinary variant conversions
// (throws Error 13 or 6). Variant and Object leave the value as it is.
Variant Coerce(DispType type, const Variant& value);

struct DispParam {
  std::string name;
  DispType type = DispType::Variant;
  bool optional = false;
  Variant defaultValue;     // what an omitted optional parameter receives
  bool byRef = false;       // the member (or an event handler) may write it back
  bool paramArray = false;  // the last parameter: every remaining positional argument, as one array
};

// Parameter builders, so a published signature reads like its declaration.
DispParam In(std::string name, DispType type = DispType::Variant);
DispParam Opt(std::string name, DispType type, Variant defaultValue);
// A by-reference parameter whose value comes back; optional and Empty when omitted.
DispParam Out(std::string name, DispType type);
DispParam Items(std::string name);

class Dispatch;
using DispatchPtr = std::shared_ptr<Dispatch>;

struct DispMember {
  enum class Kind { Property, Method };
  std::string name;
  Kind kind = Kind::Method;
  DispType type = DispType::Variant;  // property type, or method result type
  bool hasResult = false;             // methods: a function rather than a procedure
  std::vector<DispParam> params;      // methods only
  std::string doc;                    // one line for help texts; may be empty

  // Properties: a null put makes the property read-only.
  std::function<Variant()> get;
  std::function<void(const Variant&)> put;
  // Object-valued properties (type Object) use these instead.
  std::function<DispatchPtr()> getObject;
  std::function<void(const DispatchPtr&)> putObject;
  // Methods: one argument per declared parameter, already bound and coerced;
  // by-reference parameters are written in place.
  std::function<Variant(VariantArray&)> invoke;
  // Methods whose result's type depends on the arguments (a colour read by
  // name): the type to present the result as; unset means `type`.
  std::function<DispType(const VariantArray&)> resultType;

  bool IsProperty() const { return kind == Kind::Property; }
  bool IsMethod() const { return kind == Kind::Method; }
  bool Readable() const { return IsProperty() && (get || getObject); }
  bool Writable() const { return IsProperty() && (put || putObject); }
  // "OutLineBlock(PenSize, fgLines, row, col, [fgUseDefaultPen = True], ...)"
  std::string Signature() const;
};

struct DispEvent {
  std::string name;
  std::vector<DispParam> params;  // byRef marks what a handler may change
  std::string doc;                // one line for help texts; may be empty
};

struct NamedArg {
  std::string name;
  Variant value;
};

class Dispatch {
 public:
  virtual ~Dispatch();
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  // The published type name, used in error sources ("ktfolio.KtPrint4").
  virtual std::string TypeName() const = 0;

  // Look-up without regard to case: nullptr when unknown, or Error 438.
  const DispMember* Find(std::string_view name) const;
  const DispMember& Member(std::string_view name) const;
  const std::vector<DispMember>& Members() const { return members_; }

  // Property access. Get on a method calls it without arguments, as a
  // late-bound read of a procedure does. Put on a method: Error 450; on a
  // read-only property: Error 383; a plain value into an object property: 424.
  Variant Get(std::string_view name);
  void Put(std::string_view name, const Variant& value);
  DispatchPtr GetObject(std::string_view name);
  void PutObject(std::string_view name, const DispatchPtr& value);

  // Calls a method. Positional arguments bind in order, named arguments by
  // parameter name; omitted optional parameters take their defaults. Wrong
  // counts or a parameter given twice: Error 450; an unknown parameter name:
  // 448; an argument that does not convert: 13 or 6. On return `args` holds
  // the final value of every declared parameter (by-reference results
  // included; a parameter array as one array). A property name with no
  // arguments reads the property.
  Variant Invoke(std::string_view name, VariantArray& args, const std::vector<NamedArg>& named = {});

  // Events. A sink sees the event and its arguments, and may change the
  // by-reference ones; what it leaves there (coerced to the parameter's type,
  // or the old value when it does not convert) goes back to the raiser.
  using EventSink = std::function<void(const DispEvent&, VariantArray&)>;
  const std::vector<DispEvent>& Events() const { return events_; }
  const DispEvent* FindEvent(std::string_view name) const;
  // `hears`, when given, says which events the sink does something with.
  using Hears = std::function<bool(std::string_view event)>;
  int Connect(EventSink sink, Hears hears = {});
  void Disconnect(int cookie);
  std::size_t SinkCount() const { return sinks_.size(); }
  // Whether a connected sink may do something with `event`.
  bool Heard(std::string_view event) const;

  // True once the object was retired: its table is empty, so every call by
  // name fails with Error 438 instead of reaching a control that is gone.
  bool Retired() const { return retired_; }

 protected:
  Dispatch() = default;

  DispMember& AddProperty(std::string name, DispType type, std::function<Variant()> get,
                          std::function<void(const Variant&)> put);
  DispMember& AddObjectProperty(std::string name, std::function<DispatchPtr()> get,
                                std::function<void(const DispatchPtr&)> put);
  DispMember& AddMethod(std::string name, std::vector<DispParam> params, std::function<Variant(VariantArray&)> invoke,
                        DispType result = DispType::Variant, bool hasResult = false);
  // A procedure (no result).
  DispMember& AddProcedure(std::string name, std::vector<DispParam> params, std::function<void(VariantArray&)> invoke);
  void AddEvent(std::string name, std::vector<DispParam> params);
  // Gives a published member or event (exact name) its one-line description.
  void Describe(std::string_view name, std::string doc);

  // Raises an event to every connected sink, in connection order.
  void Fire(std::string_view event, VariantArray& args);

  Error Fail(std::int32_t number, const std::string& description) const;
  Error Fail(ErrorCode number, const std::string& description) const { return Fail(ToInt(number), description); }

  // Drops every member, event and sink, for an object about to destroy what
  // its members reach (a host released the control early).
  void Retire();

 private:
  DispMember& Register(DispMember m);

  std::vector<DispMember> members_;
  std::map<std::string, std::size_t> index_;  // lower-case name -> member
  std::vector<DispEvent> events_;
  std::vector<std::pair<int, EventSink>> sinks_;
  std::map<int, Hears> hears_;  // by cookie, for the sinks that said
  int nextCookie_ = 1;
  bool retired_ = false;
};

// The platform font object published by name: Name, Size, Bold, Italic,
// Underline, Strikethrough. It shares the font it wraps, so a control that
// is given it holds the same object (reference semantics, as with Set).
class FontDispatch : public Dispatch {
 public:
  explicit FontDispatch(FontPtr font = nullptr);
  std::string TypeName() const override { return "StdFont"; }
  const FontPtr& Font() const { return font_; }

 private:
  FontPtr font_;
};

// Lower-cases ASCII letters; the key of the case-insensitive look-ups.
std::string FoldName(std::string_view name);

}  // namespace ktfolio
