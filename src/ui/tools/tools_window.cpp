#include "ui/tools/tools_window.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/commands/messages.hpp"
#include "core/commands/tools_texts.hpp"
#include "ui/app_icon.hpp"
#include "ui/qt_text.hpp"
#include "ui/tools/charset_tab.hpp"
#include "ui/tools/check_tab.hpp"
#include "ui/tools/exchange_tab.hpp"
#include "ui/tools/find_tab.hpp"
#include "ui/tools/patch_tab.hpp"
#include "ui/tools/pointers_tab.hpp"
#include "ui/tools/table_tab.hpp"
#include "ui/tools/tool_controls.hpp"
#include "ui/tools/tool_runner.hpp"
#include "ui/tools/tools_settings.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

ToolsWindow::ToolsWindow(std::filesystem::path data_dir, FileDialogs& dialogs, const std::optional<ToolsStart>& start,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), data_dir_(std::move(data_dir)) {
    setObjectName(QStringLiteral("tools_window"));
    setWindowTitle(to_qt(texts::kWindowTitle));
    setWindowIcon(quillmere_icon());
    // Made first, as every tab is given it; deleted first (see the
    // destructor).
    runner_ = new ToolRunner([this](const Message& message) { show_message(message); }, this);
    shared_ = new SharedPanel(dialogs, this);
    tabs_ = new QTabWidget(this);
    name_control(*tabs_, "tabs", texts::kTabs);
    message_ = new QLabel(this);
    name_control(*message_, "message", texts::kMessage);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    const ToolsContext context{dialogs, *runner_, *shared_, [this](const Message& message) { show_message(message); }};
    // Each tab scrolls, so that the longest form does not make the window tall.
    auto add_tab = [this](QWidget* tab, std::u16string_view title) {
        auto* scroll = new QScrollArea;
        scroll->setObjectName(tab->objectName() + QStringLiteral("_scroll"));
        scroll->setAccessibleName(to_qt(title));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(tab);
        tabs_->addTab(scroll, to_qt(title));
    };
    add_tab(new CheckTab(context), texts::kCheckTab);
    add_tab(new PointersTab(context), texts::kPointersTab);
    add_tab(new CharsetTab(context), texts::kCharsetTab);
    add_tab(new TableTab(context), texts::kTableTab);
    add_tab(new FindTab(context), texts::kFindTab);
    add_tab(new PatchTab(context), texts::kPatchTab);
    add_tab(new ExchangeTab(context), texts::kExchangeTab);

    // Tab walks the window as it reads: 取消 and the message below the tabs
    // come last. A widget given its parent again goes to the end of the
    // window's focus chain.
    for (QWidget* below : {static_cast<QWidget*>(runner_), static_cast<QWidget*>(message_)}) {
        below->setParent(nullptr);
        below->setParent(this);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shared_);
    layout->addWidget(tabs_, 1);
    layout->addWidget(runner_);
    layout->addWidget(message_);
    // The tabs and the shared settings wait while a command runs; 取消 does not.
    connect(runner_, &ToolRunner::busy_changed, this, [this](bool busy) {
        shared_->setEnabled(!busy);
        tabs_->setEnabled(!busy);
        if (!busy) Q_EMIT command_finished();
    });
    apply_settings(*this, read_tools_settings(tools_settings_file(data_dir_)));
    if (start) fill(*start);
    resize(720, 760);
}

// The runner goes first: it waits for a running work and drops its result,
// which may point at the tabs.
ToolsWindow::~ToolsWindow() { delete runner_; }

void ToolsWindow::fill(const ToolsStart& start) { shared_->fill(start); }

void ToolsWindow::wait_for_command() { runner_->wait(); }

void ToolsWindow::save_settings() {
    const CommandResult<> saved = write_tools_settings(tools_settings_file(data_dir_), settings_of(*this));
    if (saved.message.shown()) show_message(saved.message);
}

void ToolsWindow::closeEvent(QCloseEvent* event) {
    // A running command is stopped before it writes; what it had done is
    // dropped with it.
    runner_->cancel();
    runner_->wait();
    save_settings();
    event->accept();
}

void ToolsWindow::show_message(const Message& message) {
    message_->setText(message.shown() ? to_qt(messages::as_line(message)) : QString());
}

}  // namespace quillmere::ui
