// A document shown in the on-screen control: what the toolbar and the in-cell
// editor need of the control they sit on, beyond the document itself. The
// control (control/KtPrint4) implements it; the viewer never names the control.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "document/document.h"
#include "platform/user/user.h"

namespace ktfolio {

class ViewedDocument : public Document {
 public:
  using Document::Document;

  // What the toolbar hands the control: its windows (their captions and
  // enabled states are the status) and a refresh of its buttons. `keepAlive`
  // owns the toolbar; the control releases it before its own windows.
  struct ToolbarParts {
    win::HWND frame = nullptr;
    std::array<win::HWND, 7> cmdTool{};
    win::HWND zoomLabel = nullptr;  // PlaceHolder1
    win::HWND pageLabel = nullptr;  // PlaceHolder2
    std::int32_t height = 0;
    std::function<void()> refreshButtons;
    std::shared_ptr<void> keepAlive;
  };
  // What the preview hands the in-cell editor: double-clicks with the pointer
  // in viewport pixels and the page offset, the cell a click hit (or none)
  // before ClickCell is raised, the double-click message the editor posts to
  // the control's window to run a pending move, and MultiLineEditing changes.
  // `keepAlive` owns the editor; it goes before the control's windows.
  struct CellEditorHooks {
    std::function<void(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY)> doubleClick;
    std::function<void(bool hit, std::int32_t area, std::int32_t row, std::int32_t col)> click;
    std::function<void()> moveMessage;
    std::function<void(bool multiLine)> multiLine;
    std::shared_ptr<void> keepAlive;
  };

  virtual void AttachToolbar(ToolbarParts parts) = 0;
  virtual void AttachCellEditor(CellEditorHooks hooks) = 0;
  virtual void CreateControlWindow(win::HWND parent) = 0;
  virtual win::HWND hWnd() const = 0;
  virtual win::HWND ViewportWindow() const = 0;
  virtual void ContainerShow() = 0;
  virtual void ContainerHide() = 0;
  virtual void Preview(std::int16_t iPage) = 0;
  virtual std::int16_t PreviewPage() const = 0;
  virtual void PreviewPage(std::int16_t page) = 0;
  virtual void SetZoom(std::int16_t& ZoomValue) = 0;
  virtual void Refresh() = 0;
  virtual void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) = 0;
  // The same for values that cannot be written back (literals, other types):
  // variables of the exact types bind to the form above instead.
  void PrintDoc(std::int16_t StartPage, std::int16_t EndPage, const bool& ShowDlg = false,
                const std::int16_t& Copies = 1) {
    bool show = ShowDlg;
    std::int16_t copies = Copies;
    PrintDoc(StartPage, EndPage, show, copies);
  }
};

}  // namespace ktfolio
