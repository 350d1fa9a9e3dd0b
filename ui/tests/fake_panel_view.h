#pragma once
// A view without a window for the panel's tests: it keeps what the panel shows, answers the
// dialogs as a test says, and runs the worker threads' tasks when the test pumps it.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/panel/desktop.h"
#include "ui/panel/panel_view.h"

namespace korvanel::panel::testing {

class FakePanelView : public PanelView, public UiThread {
 public:
  // --- what the panel showed ---
  std::map<int, std::string> texts;
  std::map<int, bool> enabled;
  std::map<int, std::string> tooltips;
  std::string title;
  ButtonFont test_font = ButtonFont::kLarge, start_font = ButtonFont::kLarge;
  bool right_to_left = false;
  MenuBar menu;
  int menu_bars_set = 0;
  std::map<int, bool> checked;
  std::vector<std::pair<std::string, int>> strip;  // the right-hand buttons, as they are now
  std::vector<MenuItem> footer;
  std::vector<std::string> sizes;
  int size_selection = -1;
  std::vector<DriveItem> drives;
  int drive_selection = -1;
  std::map<int, int> timers;  // running timers and their periods
  std::optional<int> quit_code;
  std::vector<std::string> informations, errors;
  std::vector<std::vector<MenuItem>> language_menus;
  std::string clipboard;

  // --- the panel's timers ---
  std::function<void(int)> fire;  // fires a timer in the panel
  int pass_timer_id = 0;
  bool hold_pass_windows = false;
  // When a window opened, and whether it may close now: a window that closed before its first
  // request would measure nothing, which a real timer never does.
  std::function<uint32_t()> pass_window_opened;
  std::function<bool(uint32_t opened)> pass_window_due;

  // --- the user's answers ---
  int language_choice = 0;
  std::optional<std::string> save_answer, open_answer, folder_answer;
  std::vector<std::string> folder_starts;  // where each folder dialog started
  std::string png = "\x89PNG fake picture";

  void SetControlText(int control, const std::string& text) override { texts[control] = text; }
  void SetControlEnabled(int control, bool on) override { enabled[control] = on; }
  void SetControlTooltip(int control, const std::string& text) override { tooltips[control] = text; }
  void SetTitle(const std::string& text) override { title = text; }
  void SetButtonFonts(ButtonFont tests, ButtonFont start) override {
    test_font = tests;
    start_font = start;
  }
  void SetRightToLeft(bool on) override { right_to_left = on; }
  void SetMenuBar(const MenuBar& bar) override {
    menu = bar;
    ++menu_bars_set;
  }
  void SetMenuItemChecked(int command, bool on) override { checked[command] = on; }
  void SetStripButton(const std::string& text, int command) override { strip = {{text, command}}; }
  void SetFooterButtons(const std::vector<MenuItem>& buttons) override { footer = buttons; }
  void SetSizeItems(const std::vector<std::string>& items) override {
    sizes = items;
    size_selection = -1;
  }
  int SizeSelection() const override { return size_selection; }
  void SelectSize(int index) override { size_selection = index < static_cast<int>(sizes.size()) ? index : -1; }
  void SetDriveItems(const std::vector<DriveItem>& items) override {
    drives = items;
    drive_selection = -1;
  }
  int DriveSelection() const override { return drive_selection; }
  void SelectDrive(int index) override { drive_selection = index < static_cast<int>(drives.size()) ? index : -1; }
  // The pass window closes as soon as the test pumps, unless the test holds it open.
  void StartTimer(int id, int ms) override {
    timers[id] = ms;
    if (id == pass_timer_id && !hold_pass_windows && fire) {
      timers.erase(id);
      FirePassTimerWhenDue(id, pass_window_opened ? pass_window_opened() : 0);
    }
  }

  // Fires once the window has lasted long enough (by `pass_window_due`), pumped like any task.
  void FirePassTimerWhenDue(int id, uint32_t opened) {
    Post([this, id, opened] {
      if (pass_window_due && !pass_window_due(opened)) return FirePassTimerWhenDue(id, opened);
      fire(id);
    });
  }
  void Quit(int code) override { quit_code = code; }
  void ShowInformation(const std::string& caption, const std::string& text) override {
    informations.push_back(caption + "|" + text);
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  int ChooseFromLanguageMenu(const std::vector<MenuItem>& items) override {
    language_menus.push_back(items);
    return language_choice;
  }
  std::optional<std::string> AskSaveFileName(const std::string& proposed) override {
    proposed_names.push_back(proposed);
    return save_answer;
  }
  std::optional<std::string> AskOpenFileName() override { return open_answer; }
  std::optional<std::string> AskFolderName(const std::string& start) override {
    folder_starts.push_back(start);
    return folder_answer;
  }
  std::string RenderPng() override { return png; }
  void CopyToClipboard(const std::string& text) override { clipboard = text; }
  std::vector<std::string> proposed_names;

  // Runs on the posting thread after each task is handed in: lets a test hold a worker right there.
  std::function<void()> after_post;

  // --- UiThread: tasks wait until the test pumps ---
  void Post(std::function<void()> task) override {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
      posted_.notify_all();
    }
    if (after_post) after_post();
  }

  // Runs handed-in tasks until `until()` holds; false after 20 s without it.
  bool PumpUntil(const std::function<bool()>& until) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!until()) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex_);
        // Short waits: the condition may come true on a worker without a task to run here.
        posted_.wait_for(lock, std::chrono::milliseconds(5), [&] { return !tasks_.empty(); });
        if (tasks_.empty()) {
          if (std::chrono::steady_clock::now() > deadline) return until();
          continue;
        }
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
    return true;
  }

  // Runs every task handed in so far.
  void RunPending() {
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard lock(mutex_);
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }

  // Takes timer `id` off the running ones; true when it was running (the test then fires it).
  bool TakeTimer(int id) { return timers.erase(id) > 0; }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

// Records what the panel asks of the desktop; tools are "installed" as a test says.
class RecordingDesktop : public Desktop {
 public:
  std::vector<platform::SystemTool> installed;
  std::vector<std::string> pages, files;
  std::vector<std::pair<platform::SystemTool, std::string>> started;

  bool HasTool(platform::SystemTool tool) override {
    for (platform::SystemTool have : installed) {
      if (have == tool) return true;
    }
    return false;
  }
  SysError StartTool(platform::SystemTool tool, const std::string& file) override {
    started.emplace_back(tool, file);
    return {};
  }
  SysError OpenPage(const std::string& address) override {
    pages.push_back(address);
    return {};
  }
  SysError OpenFile(const std::string& path) override {
    files.push_back(path);
    return {};
  }
};

}  // namespace korvanel::panel::testing
