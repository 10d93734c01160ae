#include "control/ktprint4_dispatch.h"

#include <type_traits>

namespace ktfolio {

namespace {

// The C++ type of a published value and how it travels as a Variant.
template <typename T>
struct Published;
template <>
struct Published<bool> {
  static constexpr DispType type = DispType::Boolean;
  static Variant To(bool v) { return Variant(v); }
  static bool From(const Variant& v) { return v.ToBool(); }
};
template <>
struct Published<std::int16_t> {
  static constexpr DispType type = DispType::Integer;
  static Variant To(std::int16_t v) { return Variant(v); }
  static std::int16_t From(const Variant& v) { return v.ToInteger(); }
};
template <>
struct Published<std::int32_t> {
  static constexpr DispType type = DispType::Long;
  static Variant To(std::int32_t v) { return Variant(v); }
  static std::int32_t From(const Variant& v) { return v.ToLong(); }
};
// Colours keep their bit pattern in a Long.
template <>
struct Published<std::uint32_t> {
  static constexpr DispType type = DispType::Color;
  static Variant To(std::uint32_t v) { return Variant(static_cast<std::int32_t>(v)); }
  static std::uint32_t From(const Variant& v) { return ToColor(v); }
};
template <>
struct Published<float> {
  static constexpr DispType type = DispType::Single;
  static Variant To(float v) { return Variant(v); }
  static float From(const Variant& v) { return v.ToSingle(); }
};
template <>
struct Published<std::string> {
  static constexpr DispType type = DispType::String;
  static Variant To(const std::string& v) { return Variant(v); }
  static std::string From(const Variant& v) { return v.ToString(); }
};

constexpr auto L = DispType::Long;
constexpr auto I = DispType::Integer;
constexpr auto B = DispType::Boolean;
constexpr auto S = DispType::Single;
constexpr auto Str = DispType::String;

// A parameter the member (or the event's sinks) may write back.
DispParam ByRef(DispParam p) {
  p.byRef = true;
  return p;
}

}  // namespace

// Turns the control's typed events into dispatch events with their arguments
// as Variants, and copies back what the sinks left in by-reference ones.
class KtPrint4Dispatch::Adapter : public KtPrint4Events {
 public:
  explicit Adapter(KtPrint4Dispatch& owner) : owner_(owner) {}

  void NewPage(std::int32_t& Page, std::int32_t& Row, std::int32_t& FirstOrLast) override {
    VariantArray a{Variant(Page), Variant(Row), Variant(FirstOrLast)};
    owner_.Fire("NewPage", a);
    Page = a[0].ToLong();
    Row = a[1].ToLong();
    FirstOrLast = a[2].ToLong();
  }
  void EnterCell(std::int32_t row, std::int32_t col, std::int32_t parea, bool& Cancel) override {
    Cancel = CellEvent("EnterCell", row, col, parea, Cancel);
  }
  void LeaveCell(std::int32_t row, std::int32_t col, std::int32_t parea, bool& Cancel) override {
    Cancel = CellEvent("LeaveCell", row, col, parea, Cancel);
  }
  void ClickCell(std::int32_t row, std::int32_t col, std::int32_t parea, std::int16_t Button) override {
    VariantArray a{Variant(row), Variant(col), Variant(parea), Variant(Button)};
    owner_.Fire("ClickCell", a);
  }
  void BeforeButtonClick(std::int16_t ButtonIndex, const std::string& ButtonKey, bool& Cancel) override {
    VariantArray a{Variant(ButtonIndex), Variant(ButtonKey), Variant(Cancel)};
    owner_.Fire("BeforeButtonClick", a);
    Cancel = a[2].ToBool();
  }
  bool HearsNewPage() const override { return owner_.Heard("NewPage"); }

 private:
  bool CellEvent(const char* name, std::int32_t row, std::int32_t col, std::int32_t parea, bool cancel) {
    VariantArray a{Variant(row), Variant(col), Variant(parea), Variant(cancel)};
    owner_.Fire(name, a);
    return a[3].ToBool();
  }

  KtPrint4Dispatch& owner_;
};

KtPrint4Dispatch::KtPrint4Dispatch() : owned_(std::make_unique<KtPrint4Impl>()), control_(owned_.get()) { Publish(); }

KtPrint4Dispatch::KtPrint4Dispatch(std::shared_ptr<Container> site)
    : site_(std::move(site)), owned_(std::make_unique<KtPrint4Impl>(site_.get())), control_(owned_.get()) {
  Publish();
}

KtPrint4Dispatch::KtPrint4Dispatch(KtPrint4Impl& control) : control_(&control) { Publish(); }

KtPrint4Dispatch::~KtPrint4Dispatch() {
  if (adapter_ && control_) control_->Unadvise(adapter_.get());
}

void KtPrint4Dispatch::Release() {
  if (!control_) return;
  Retire();
  if (adapter_) control_->Unadvise(adapter_.get());
  adapter_.reset();
  owned_.reset();
  control_ = nullptr;
  site_.reset();
}

KtPrint4Events& KtPrint4Dispatch::EventAdapter() { return *adapter_; }

void KtPrint4Dispatch::Publish() {
  KtPrint4Impl* c = control_;

  auto prop = [this](auto tag, const char* name, auto get, auto put) {
    using T = typename decltype(tag)::type;
    std::function<void(const Variant&)> setter;
    if constexpr (!std::is_same_v<decltype(put), std::nullptr_t>)
      setter = [put](const Variant& v) { put(Published<T>::From(v)); };
    AddProperty(name, Published<T>::type, [get] { return Published<T>::To(get()); }, std::move(setter));
  };
#define KT_RW(T, N) prop(std::type_identity<T>{}, #N, [c] { return static_cast<T>(c->N()); }, [c](T v) { c->N(v); })
#define KT_RO(T, N) prop(std::type_identity<T>{}, #N, [c] { return static_cast<T>(c->N()); }, nullptr)

  // Page setup.
  KT_RW(std::int32_t, ScaleMode);
  KT_RW(std::int32_t, PageSize);
  KT_RW(float, PaperWidth);
  KT_RW(float, PaperLength);
  KT_RW(std::int32_t, Orientation);
  KT_RW(float, Marginleft);
  KT_RW(float, MarginRight);
  KT_RW(float, MarginTop);
  KT_RW(float, MarginBottom);
  KT_RW(float, MarginHeader);
  KT_RW(float, MarginFooter);

  // Defaults for new rows and cells.
  KT_RW(float, ColSpacing);
  KT_RW(float, RowSpacing);
  KT_RW(float, dRowIndentTop);
  KT_RW(float, dRowIndentBottom);
  KT_RW(float, dRowHeight);
  KT_RW(float, dColIndentFirst);
  KT_RW(float, dColIndentLeft);
  KT_RW(float, dColIndentRight);
  KT_RW(bool, dFitHeightToText);
  KT_RW(std::int32_t, dColEditType);
  // The same font object comes back while the control holds the same font,
  // so a host that assigned one sees that very object again.
  AddObjectProperty(
      "Font",
      [this, c]() -> DispatchPtr {
        auto cached = fontObject_.lock();
        if (cached && cached->Font() == c->Font()) return cached;
        auto made = std::make_shared<FontDispatch>(c->Font());
        fontObject_ = made;
        return made;
      },
      [this, c](const DispatchPtr& v) {
        auto font = std::dynamic_pointer_cast<FontDispatch>(v);
        if (!font) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch: Font needs a font object");
        c->Font(font->Font());
        fontObject_ = font;
      });
  KT_RW(std::uint32_t, dFontColor);
  KT_RW(std::uint32_t, dColShadowColor);
  KT_RW(std::uint32_t, dColShadowHeavyColor);
  KT_RW(std::uint32_t, dColPenColor);
  KT_RW(std::uint32_t, dColBrushColor);
  KT_RW(std::int32_t, dFontStyle);
  KT_RW(std::int32_t, dColAlignPos);
  KT_RW(std::int32_t, dColPenStyle);
  KT_RW(std::int32_t, dColShadowSize);
  KT_RW(std::int16_t, dColLineBottom);
  KT_RW(std::int16_t, dColLineTop);
  KT_RW(std::int16_t, dColLineLeft);
  KT_RW(std::int16_t, dColLineRight);
  KT_RW(bool, dColClipping);
  KT_RW(bool, dColWordWrap);
  KT_RW(bool, dColFillCell);
  KT_RW(std::int32_t, dColsLayoutType);
  KT_RW(std::int32_t, dColsPerRow);
  KT_RW(bool, dInheritLastRow);

  // Presentation.
  KT_RW(std::int32_t, ColorResolution);
  KT_RW(std::int32_t, EditEnterAction);
  KT_RW(std::string, PrinterName);
  KT_RW(std::string, DocTitle);
  KT_RW(std::string, DocAuthor);
  KT_RW(std::string, DocSubject);
  KT_RW(std::string, DocKeywords);
  KT_RW(std::string, DocLanguage);
  KT_RW(bool, TaggedPdf);
  KT_RW(std::int32_t, PdfJobs);
  KT_RW(std::int32_t, TemplateCodePage);
  KT_RW(std::string, sText);
  KT_RW(bool, ShowToolBar);
  KT_RW(bool, ShowPrintDlg);
  KT_RW(bool, ShowGuideLines);
  KT_RO(std::int32_t, StartBodyRow);
  KT_RO(std::int32_t, EndBodyRow);

  // Editing selection.
  KT_RW(bool, AllowCellEditing);
  KT_RW(bool, AutoHighLightEditing);
  KT_RW(bool, MultiLineEditing);
  KT_RW(std::int32_t, ActiveArea);
  KT_RW(std::int32_t, ActiveRow);
  KT_RW(std::int32_t, ActiveCol);

  // Row building.
  KT_RO(std::int32_t, LastRow);
  KT_RO(std::int16_t, Pages);
#undef KT_RW
#undef KT_RO

  auto adder = [this, c](const char* name, Document::RowPlace place) {
    AddMethod(
        name, {Items("Items")},
        [c, place](VariantArray& a) {
          const VariantArray& items = a[0].ToArray();
          return Variant(items.empty() ? c->AddRowTo(place) : c->AddRowTo(place, items));
        },
        B, true);
  };
  adder("AddRow", Document::RowPlace::Body);
  adder("AddStartDocRow", Document::RowPlace::StartDoc);
  adder("AddEndDocRow", Document::RowPlace::EndDoc);
  adder("AddHeaderRow", Document::RowPlace::Header);
  adder("AddFooterRow", Document::RowPlace::Footer);

  AddMethod(
      "SetTextRow", {In("row", L), In("parea", L), Items("Items")},
      [c](VariantArray& a) { return Variant(c->SetTextRow(a[0].ToLong(), a[1].ToLong(), a[2].ToArray())); }, B,
      true);
  AddMethod(
      "RemoveRows", {In("RowFrom", L), In("RowTo", L), Opt("PageArea", L, Body)},
      [c](VariantArray& a) { return Variant(c->RemoveRows(a[0].ToLong(), a[1].ToLong(), a[2].ToLong())); }, B,
      true);
  AddProcedure("ClearAll", {}, [c](VariantArray&) { c->ClearAll(); });

  // Cells and rows by name.
  AddMethod(
      "SetProperty", {In("row", L), In("col", L), In("pName", Str), In("Value"), Opt("PageArea", L, Body)},
      [c](VariantArray& a) {
        return Variant(c->SetProperty(a[0].ToLong(), a[1].ToLong(), a[2].ToString(), a[3], a[4].ToLong()));
      },
      B, true);
  AddMethod(
      "GetProperty", {In("row", L), In("col", L), In("pName", Str), Opt("PageArea", L, Body)},
      [c](VariantArray& a) { return c->GetProperty(a[0].ToLong(), a[1].ToLong(), a[2].ToString(), a[3].ToLong()); },
      DispType::Variant, true)
      .resultType = [](const VariantArray& a) {
    // A colour read by name is presented as the d* colour settings are.
    return a.size() > 2 && a[2].type() == VarType::String && IsColorAttribute(a[2].ToString()) ? DispType::Color
                                                                                               : DispType::Variant;
  };
  AddProcedure("SetFrameControl",
               {In("row", L), In("col", L), In("FrameCtlType", L), In("FrameCtlFlags", L), In("FrameCtlSize", S),
                Opt("parea", L, Body)},
               [c](VariantArray& a) {
                 c->SetFrameControl(a[0].ToLong(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong(), a[4].ToSingle(),
                                    a[5].ToLong());
               });
  AddProcedure("SetEdge",
               {In("row", L), In("col", L), In("EdgeType", L), In("EdgeFlags", L), Opt("parea", L, Body)},
               [c](VariantArray& a) {
                 c->SetEdge(a[0].ToLong(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong(), a[4].ToLong());
               });
  AddMethod(
      "OutLineBlock",
      {In("PenSize", I), In("fgLines", L), In("row", L), In("col", L), Opt("fgUseDefaultPen", B, true),
       Opt("parea", L, Body), Opt("Row2", L, 0), Opt("Col2", L, 0)},
      [c](VariantArray& a) {
        return Variant(c->OutLineBlock(a[0].ToInteger(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong(),
                                       a[4].ToBool(), a[5].ToLong(), a[6].ToLong(), a[7].ToLong()));
      },
      B, true);
  AddMethod(
      "SetPageBreak", {In("row", L)}, [c](VariantArray& a) { return Variant(c->SetPageBreak(a[0].ToLong())); }, B,
      true);
  AddProcedure("SetGuideRow", {In("row", L), Opt("parea", L, Body)},
               [c](VariantArray& a) { c->SetGuideRow(a[0].ToLong(), a[1].ToLong()); });

  // Pagination.
  AddProcedure("RePaging", {Opt("pFrom", I, std::int16_t{1}), Opt("ClearPageBreaks", B, false)},
               [c](VariantArray& a) { c->RePaging(a[0].ToInteger(), a[1].ToBool()); });

  // Output.
  AddMethod(
      "ExportPng", {In("file", Str), In("page", I), Opt("zoom", I, std::int16_t{100}), Opt("shadow", B, true)},
      [c](VariantArray& a) {
        return Variant(c->ExportPng(a[0].ToString(), a[1].ToInteger(), a[2].ToInteger(), a[3].ToBool()));
      },
      B, true);
  AddMethod(
      "ExportPngDpi", {In("file", Str), In("page", I), In("dpi", L), Opt("shadow", B, false)},
      [c](VariantArray& a) {
        return Variant(c->ExportPngDpi(a[0].ToString(), a[1].ToInteger(), a[2].ToLong(), a[3].ToBool()));
      },
      B, true);
  AddMethod(
      "ExportPdf", {In("file", Str), In("fromPage", I), In("toPage", I)},
      [c](VariantArray& a) { return Variant(c->ExportPdf(a[0].ToString(), a[1].ToInteger(), a[2].ToInteger())); },
      B, true);

  // Printing.
  AddProcedure("PrintDoc",
               {In("StartPage", I), In("EndPage", I), ByRef(Opt("ShowDlg", B, false)),
                ByRef(Opt("Copies", I, std::int16_t{1}))},
               [c](VariantArray& a) {
                 bool show = a[2].ToBool();
                 std::int16_t copies = a[3].ToInteger();
                 c->PrintDoc(a[0].ToInteger(), a[1].ToInteger(), show, copies);
                 a[2] = Variant(show);
                 a[3] = Variant(copies);
               });

  // Preview on screen.
  AddProcedure("Preview", {In("iPage", I)}, [c](VariantArray& a) { c->Preview(a[0].ToInteger()); });
  AddProcedure("SetZoom", {ByRef(In("ZoomValue", I))}, [c](VariantArray& a) {
    std::int16_t z = a[0].ToInteger();
    c->SetZoom(z);
    a[0] = Variant(z);
  });
  AddProcedure("Refresh", {}, [c](VariantArray&) { c->Refresh(); });
  AddProcedure("RefreshStatus", {}, [c](VariantArray&) { c->RefreshStatus(); });

  // Error record. The three results come back through the by-reference
  // arguments, left untouched (Empty when omitted) when nothing is recorded.
  AddProcedure("ClearError", {}, [c](VariantArray&) { c->ClearError(); });
  AddMethod(
      "GetLastError", {Out("ErrorNumber", L), Out("ErrorDescription", Str), Out("ErrorSource", Str)},
      [c](VariantArray& a) {
        std::int32_t number = 0;
        std::string description, source;
        if (!c->GetLastError(number, description, source)) return Variant(false);
        a[0] = Variant(number);
        a[1] = Variant(description);
        a[2] = Variant(source);
        return Variant(true);
      },
      B, true);

  // Templates, the designer's byte arrays and the design mode. Byte arrays
  // travel as Variants holding bytes.
  AddMethod(
      "SaveAsTemplate", {In("TemplateName", Str)},
      [c](VariantArray& a) { return Variant(c->SaveAsTemplate(a[0].ToString())); }, B, true);
  AddMethod(
      "LoadFromTemplate", {In("TemplateName", Str)},
      [c](VariantArray& a) { return Variant(c->LoadFromTemplate(a[0].ToString())); }, B, true);
  AddProcedure("GetDsnArray", {Out("Dsn", DispType::Variant)}, [c](VariantArray& a) {
    ByteArray dsn;
    c->GetDsnArray(dsn);
    a[0] = Variant(std::move(dsn));
  });
  AddProcedure("SetDsnArray", {In("Dsn"), Opt("fgOnlyDesign", B, false)},
               [c](VariantArray& a) { c->SetDsnArray(a[0].ToBytes(), a[1].ToBool()); });
  AddProcedure("GetProArray", {Out("Pro", DispType::Variant)}, [c](VariantArray& a) {
    ByteArray pro;
    c->GetProArray(pro);
    a[0] = Variant(std::move(pro));
  });
  AddProperty("DesigMode", B, nullptr, [c](const Variant& v) { c->DesigMode(v.ToBool()); });
  AddProperty(
      "a_Designer", DispType::Variant, [c] { return c->a_Designer(); }, [c](const Variant& v) { c->a_Designer(v); });

  // Events, with the parameters the control passes by reference marked so.
  AddEvent("NewPage", {ByRef(In("Page", L)), ByRef(In("Row", L)), ByRef(In("FirstOrLast", L))});
  AddEvent("EnterCell", {In("row", L), In("col", L), In("parea", L), ByRef(In("Cancel", B))});
  AddEvent("LeaveCell", {In("row", L), In("col", L), In("parea", L), ByRef(In("Cancel", B))});
  AddEvent("ClickCell", {In("row", L), In("col", L), In("parea", L), In("Button", I)});
  AddEvent("BeforeButtonClick", {In("ButtonIndex", I), In("ButtonKey", Str), ByRef(In("Cancel", B))});

  Document();

  adapter_ = std::make_unique<Adapter>(*this);
  control_->Advise(adapter_.get());
}

}  // namespace ktfolio
