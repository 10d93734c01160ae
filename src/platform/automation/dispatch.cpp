#include "platform/automation/dispatch.h"

#include <algorithm>
#include <cassert>

namespace ktfolio {

namespace {

const char* const kNotSupportedText = "Object doesn't support this property or method";
const char* const kWrongCountText = "Wrong number of arguments or invalid property assignment";

bool IsConversionError(const Error& e) {
  return e.number() == ErrorCode::kTypeMismatch || e.number() == ErrorCode::kOverflow;
}

std::string DefaultText(const Variant& v) {
  try {
    if (v.type() == VarType::String) return "\"" + v.ToString() + "\"";
    return v.ToString();
  } catch (const Error&) {
    return "?";
  }
}

}  // namespace

std::string FoldName(std::string_view name) {
  std::string s(name);
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return s;
}

const char* DispTypeName(DispType t) {
  switch (t) {
    case DispType::Variant: return "Variant";
    case DispType::Boolean: return "Boolean";
    case DispType::Integer: return "Integer";
    case DispType::Long: return "Long";
    case DispType::Single: return "Single";
    case DispType::Double: return "Double";
    case DispType::String: return "String";
    case DispType::Color: return "Color";
    case DispType::Object: return "Object";
  }
  return "Variant";
}

Variant Coerce(DispType type, const Variant& value) {
  switch (type) {
    case DispType::Variant:
    case DispType::Object: return value;
    case DispType::Boolean: return Variant(value.ToBool());
    case DispType::Integer: return Variant(value.ToInteger());
    case DispType::Long: return Variant(value.ToLong());
    case DispType::Single: return Variant(value.ToSingle());
    case DispType::Double: return Variant(value.ToDouble());
    case DispType::String: return Variant(value.ToString());
    case DispType::Color: return Variant(static_cast<std::int32_t>(ToColor(value)));
  }
  return value;
}

DispParam In(std::string name, DispType type) {
  DispParam p;
  p.name = std::move(name);
  p.type = type;
  return p;
}

DispParam Opt(std::string name, DispType type, Variant defaultValue) {
  DispParam p = In(std::move(name), type);
  p.optional = true;
  p.defaultValue = std::move(defaultValue);
  return p;
}

DispParam Out(std::string name, DispType type) {
  DispParam p = In(std::move(name), type);
  p.optional = true;
  p.byRef = true;
  return p;
}

DispParam Items(std::string name) {
  DispParam p = In(std::move(name), DispType::Variant);
  p.optional = true;
  p.paramArray = true;
  return p;
}

std::string DispMember::Signature() const {
  if (IsProperty()) {
    std::string s = name + ": " + DispTypeName(type);
    if (!Writable()) s += " (read-only)";
    return s;
  }
  std::string s = name + "(";
  for (std::size_t i = 0; i < params.size(); ++i) {
    const DispParam& p = params[i];
    if (i) s += ", ";
    if (p.paramArray) {
      s += p.name + "...";
    } else if (p.byRef && p.optional && p.defaultValue.IsEmpty()) {
      s += "[out " + p.name + "]";
    } else if (p.optional) {
      s += "[" + p.name + " = " + DefaultText(p.defaultValue) + "]";
    } else {
      s += p.name;
    }
  }
  s += ")";
  if (hasResult) s += std::string(" -> ") + DispTypeName(type);
  return s;
}

// ---- Dispatch ---------------------------------------------------------------------

Dispatch::~Dispatch() = default;

void Dispatch::Retire() {
  retired_ = true;
  members_.clear();
  index_.clear();
  events_.clear();
  sinks_.clear();
  hears_.clear();
}

Error Dispatch::Fail(std::int32_t number, const std::string& description) const {
  return Error(number, std::string(kLibraryName) + "." + TypeName(), description);
}

DispMember& Dispatch::Register(DispMember m) {
  const std::string key = FoldName(m.name);
  auto it = index_.find(key);
  if (it != index_.end()) {
    // Publishing a name twice replaces it: a derived class may refine a member.
    members_[it->second] = std::move(m);
    return members_[it->second];
  }
  index_.emplace(key, members_.size());
  members_.push_back(std::move(m));
  return members_.back();
}

DispMember& Dispatch::AddProperty(std::string name, DispType type, std::function<Variant()> get,
                                  std::function<void(const Variant&)> put) {
  DispMember m;
  m.name = std::move(name);
  m.kind = DispMember::Kind::Property;
  m.type = type;
  m.get = std::move(get);
  m.put = std::move(put);
  return Register(std::move(m));
}

DispMember& Dispatch::AddObjectProperty(std::string name, std::function<DispatchPtr()> get,
                                        std::function<void(const DispatchPtr&)> put) {
  DispMember m;
  m.name = std::move(name);
  m.kind = DispMember::Kind::Property;
  m.type = DispType::Object;
  m.getObject = std::move(get);
  m.putObject = std::move(put);
  return Register(std::move(m));
}

DispMember& Dispatch::AddMethod(std::string name, std::vector<DispParam> params,
                                std::function<Variant(VariantArray&)> invoke, DispType result, bool hasResult) {
  DispMember m;
  m.name = std::move(name);
  m.kind = DispMember::Kind::Method;
  m.type = result;
  m.hasResult = hasResult;
  m.params = std::move(params);
  m.invoke = std::move(invoke);
  return Register(std::move(m));
}

DispMember& Dispatch::AddProcedure(std::string name, std::vector<DispParam> params,
                                   std::function<void(VariantArray&)> invoke) {
  return AddMethod(std::move(name), std::move(params), [f = std::move(invoke)](VariantArray& a) {
    f(a);
    return Variant();
  });
}

void Dispatch::AddEvent(std::string name, std::vector<DispParam> params) {
  events_.push_back(DispEvent{std::move(name), std::move(params), {}});
}

void Dispatch::Describe(std::string_view name, std::string doc) {
  for (DispMember& m : members_)
    if (m.name == name) {
      m.doc = std::move(doc);
      return;
    }
  for (DispEvent& e : events_)
    if (e.name == name) {
      e.doc = std::move(doc);
      return;
    }
  assert(!"Describe names a member that is not published");
}

const DispMember* Dispatch::Find(std::string_view name) const {
  auto it = index_.find(FoldName(name));
  return it == index_.end() ? nullptr : &members_[it->second];
}

const DispMember& Dispatch::Member(std::string_view name) const {
  const DispMember* m = Find(name);
  if (!m) throw Fail(ErrorCode::kNotSupported, kNotSupportedText);
  return *m;
}

Variant Dispatch::Get(std::string_view name) {
  const DispMember& m = Member(name);
  if (m.IsMethod()) {
    VariantArray none;
    return Invoke(name, none);
  }
  if (m.type == DispType::Object)
    throw Fail(ErrorCode::kTypeMismatch, "Type mismatch: " + m.name + " is an object");
  if (!m.get) throw Fail(ErrorCode::kNotSupported, kNotSupportedText);
  return m.get();
}

void Dispatch::Put(std::string_view name, const Variant& value) {
  const DispMember& m = Member(name);
  if (m.IsMethod()) throw Fail(ErrorCode::kWrongArgumentCount, kWrongCountText);
  if (m.type == DispType::Object) throw Fail(ErrorCode::kObjectRequired, "Object required");
  if (!m.put) throw Fail(ErrorCode::kReadOnlyProperty, "Property is read-only");
  Variant v;
  try {
    v = Coerce(m.type, value);
  } catch (const Error& e) {
    if (!IsConversionError(e)) throw;
    throw Fail(e.number(), e.description() + ": value for " + m.name);
  }
  m.put(v);
}

DispatchPtr Dispatch::GetObject(std::string_view name) {
  const DispMember& m = Member(name);
  if (m.type != DispType::Object || !m.getObject)
    throw Fail(ErrorCode::kObjectRequired, "Object required");
  return m.getObject();
}

void Dispatch::PutObject(std::string_view name, const DispatchPtr& value) {
  const DispMember& m = Member(name);
  if (m.IsMethod()) throw Fail(ErrorCode::kWrongArgumentCount, kWrongCountText);
  if (m.type != DispType::Object) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch: " + m.name + " is not an object");
  if (!m.putObject) throw Fail(ErrorCode::kReadOnlyProperty, "Property is read-only");
  if (!value) throw Fail(ErrorCode::kObjectRequired, "Object required");
  m.putObject(value);
}

Variant Dispatch::Invoke(std::string_view name, VariantArray& args, const std::vector<NamedArg>& named) {
  const DispMember& m = Member(name);
  if (m.IsProperty()) {
    if (!args.empty() || !named.empty()) throw Fail(ErrorCode::kWrongArgumentCount, kWrongCountText);
    return Get(name);
  }

  const std::vector<DispParam>& ps = m.params;
  const bool hasArray = !ps.empty() && ps.back().paramArray;
  const std::size_t fixed = ps.size() - (hasArray ? 1 : 0);
  if (!hasArray && args.size() > ps.size())
    throw Fail(ErrorCode::kWrongArgumentCount, kWrongCountText + std::string(": ") + m.Signature());

  VariantArray bound(ps.size());
  std::vector<bool> given(ps.size(), false);
  for (std::size_t i = 0; i < std::min(args.size(), fixed); ++i) {
    bound[i] = args[i];
    given[i] = true;
  }
  if (hasArray && args.size() > fixed) {
    bound[fixed] = Variant(VariantArray(args.begin() + static_cast<std::ptrdiff_t>(fixed), args.end()));
    given[fixed] = true;
  }

  for (const NamedArg& n : named) {
    const std::string key = FoldName(n.name);
    auto it = std::find_if(ps.begin(), ps.end(), [&](const DispParam& p) { return FoldName(p.name) == key; });
    if (it == ps.end()) throw Fail(ErrorCode::kNamedArgumentNotFound, "Named argument not found: " + n.name);
    const std::size_t i = static_cast<std::size_t>(it - ps.begin());
    if (given[i]) throw Fail(ErrorCode::kWrongArgumentCount, kWrongCountText + std::string(": ") + it->name + " given twice");
    // A parameter array passed by name is the array itself (or one item).
    if (it->paramArray && n.value.type() != VarType::Array)
      bound[i] = Variant(VariantArray{n.value});
    else
      bound[i] = n.value;
    given[i] = true;
  }

  for (std::size_t i = 0; i < ps.size(); ++i) {
    const DispParam& p = ps[i];
    if (!given[i]) {
      if (p.paramArray)
        bound[i] = Variant(VariantArray{});
      else if (p.optional)
        bound[i] = p.defaultValue;
      else
        throw Fail(ErrorCode::kWrongArgumentCount,
                   kWrongCountText + std::string(": ") + p.name + " missing in " + m.Signature());
    }
    // An omitted by-reference result stays Empty: the member decides whether to fill it.
    if (p.paramArray || (p.byRef && bound[i].IsEmpty())) continue;
    try {
      bound[i] = Coerce(p.type, bound[i]);
    } catch (const Error& e) {
      if (!IsConversionError(e)) throw;
      throw Fail(e.number(), e.description() + ": argument " + p.name + " of " + m.name);
    }
  }

  Variant result = m.invoke(bound);
  args = std::move(bound);
  return result;
}

const DispEvent* Dispatch::FindEvent(std::string_view name) const {
  const std::string key = FoldName(name);
  for (const DispEvent& e : events_)
    if (FoldName(e.name) == key) return &e;
  return nullptr;
}

int Dispatch::Connect(EventSink sink, Hears hears) {
  const int cookie = nextCookie_++;
  sinks_.emplace_back(cookie, std::move(sink));
  if (hears) hears_.emplace(cookie, std::move(hears));
  return cookie;
}

void Dispatch::Disconnect(int cookie) {
  std::erase_if(sinks_, [cookie](const auto& s) { return s.first == cookie; });
  hears_.erase(cookie);
}

bool Dispatch::Heard(std::string_view event) const {
  // An answer is the host's code, which may connect or disconnect sinks: ask copies.
  std::vector<Hears> asks;
  for (const auto& [cookie, sink] : sinks_) {
    const auto said = hears_.find(cookie);
    if (said == hears_.end()) return true;
    asks.push_back(said->second);
  }
  for (const Hears& ask : asks)
    if (ask(event)) return true;
  return false;
}

void Dispatch::Fire(std::string_view event, VariantArray& args) {
  const DispEvent* e = FindEvent(event);
  if (!e) throw Fail(ErrorCode::kNotSupported, kNotSupportedText);
  if (sinks_.empty()) return;
  args.resize(e->params.size());
  const VariantArray original = args;
  // A sink may disconnect (itself or another) while it runs.
  const auto sinks = sinks_;
  for (const auto& s : sinks) {
    try {
      s.second(*e, args);
    } catch (const std::exception&) {
      // The raiser is control code that must not see a host's failure.
    }
    args.resize(e->params.size());
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const DispParam& p = e->params[i];
    if (!p.byRef) {
      args[i] = original[i];
      continue;
    }
    try {
      args[i] = Coerce(p.type, args[i]);
    } catch (const Error&) {
      args[i] = original[i];
    }
  }
}

// ---- FontDispatch -------------------------------------------------------------------

FontDispatch::FontDispatch(FontPtr font) : font_(font ? std::move(font) : std::make_shared<StdFont>()) {
  StdFont* f = font_.get();
  AddProperty("Name", DispType::String, [f] { return Variant(f->Name); },
              [f](const Variant& v) { f->Name = v.ToString(); });
  AddProperty("Size", DispType::Single, [f] { return Variant(f->Size); },
              [f](const Variant& v) { f->Size = CheckedFontSize(v.ToSingle()); });
  AddProperty("Bold", DispType::Boolean, [f] { return Variant(f->Bold); },
              [f](const Variant& v) { f->Bold = v.ToBool(); });
  AddProperty("Italic", DispType::Boolean, [f] { return Variant(f->Italic); },
              [f](const Variant& v) { f->Italic = v.ToBool(); });
  AddProperty("Underline", DispType::Boolean, [f] { return Variant(f->Underline); },
              [f](const Variant& v) { f->Underline = v.ToBool(); });
  AddProperty("Strikethrough", DispType::Boolean, [f] { return Variant(f->Strikethrough); },
              [f](const Variant& v) { f->Strikethrough = v.ToBool(); });
  Describe("Name", "The face name, such as Arial.");
  Describe("Size", "The size in points.");
  Describe("Bold", "True for a bold face.");
  Describe("Italic", "True for an italic face.");
  Describe("Underline", "True to underline the text.");
  Describe("Strikethrough", "True to strike the text through.");
}

}  // namespace ktfolio
