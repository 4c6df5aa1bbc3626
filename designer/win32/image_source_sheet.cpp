#include "designer/win32/image_source_sheet.h"

#include <memory>

#include "app/host/message_pump.h"
#include "designer/win32/ppgSourceImage.h"

namespace designer {
namespace {

constexpr char kSheetText[] = R"(
Begin Form PropertySheet
    ClientWidth = 5040
    ClientHeight = 4380
    BorderStyle = "FixedSingle"
    StartUpPosition = "CenterScreen"
    Begin PushButton cmdOK
        Caption = "OK"
        Default = true
        Left = 1560
        Top = 3870
        Width = 1080
        Height = 375
        TabIndex = 1
    End
    Begin PushButton cmdCancel
        Caption = "Cancel"
        Left = 2740
        Top = 3870
        Width = 1080
        Height = 375
        TabIndex = 2
    End
    Begin PushButton cmdApply
        Caption = "Apply"
        Enabled = false
        Left = 3920
        Top = 3870
        Width = 1080
        Height = 375
        TabIndex = 3
    End
End
)";

constexpr int kPageMarginTwips = 120;

class ImageSourceSheet : public host::Form {
public:
    ImageSourceSheet(host::FormObject description, aicAlphaImage& control)
        : host::Form(std::move(description), Options()), control_(control) {}

    bool applied = false;

protected:
    void Form_Load() override {
        host::FormOptions pageOptions = Options();
        pageOptions.parent = Window();
        page_ = std::make_unique<ppgSourceImage>(pageOptions);
        if (!page_->Load()) return;
        int margin = TwipsToPixelsX(kPageMarginTwips);
        SetWindowPos(page_->Window(), HWND_TOP, margin, margin, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(page_->Window(), SW_SHOWNA);
        page_->onChangedChanged = [this](bool changed) { Get<host::PushButton>("cmdApply").SetEnabled(changed); };
        page_->SelectionChanged({&control_});
        Get<host::PushButton>("cmdOK").onClick = [this] {
            Apply();
            Unload();
        };
        Get<host::PushButton>("cmdCancel").onClick = [this] { Unload(); };
        Get<host::PushButton>("cmdApply").onClick = [this] { Apply(); };
    }
    void Form_Unload(bool&) override {
        if (page_) page_->Unload();
    }

private:
    static host::FormOptions Options() {
        host::FormOptions options;
        options.quitWhenLastUnloads = false;
        return options;
    }
    void Apply() {
        if (!page_ || !page_->Changed()) return;
        page_->ApplyChanges();
        applied = true;
    }

    aicAlphaImage& control_;
    std::unique_ptr<ppgSourceImage> page_;
};

}  // namespace

bool ShowImageSourceSheet(HWND owner, aicAlphaImage& control, const std::string& controlName) {
    host::ParsedForm parsed = host::ParseFormDescription(kSheetText, {});
    parsed.form.properties.Set("Caption", controlName + " Properties");
    ImageSourceSheet sheet(std::move(parsed.form), control);
    if (!sheet.Load()) return false;
    SetWindowLongPtrW(sheet.Window(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));  // stays above its owner
    EnableWindow(owner, FALSE);
    sheet.Show();
    host::RunUntil([&] { return !sheet.IsLoaded(); });
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
    return sheet.applied;
}

}  // namespace designer
