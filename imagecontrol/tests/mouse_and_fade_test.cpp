// The shared cross-control object, hit tests with mouse-enter and exit,
// the host's notifications as events, and fades.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>

#include "imagecontrol/tests/recording_site.h"

namespace {

TEST(CrossComm, RegistryGrowsAndShrinksAndClearsTheCapture) {
  cCrossComm shared;
  for (uintptr_t id : {70u, 10u, 50u, 30u, 60u, 20u})
    shared.AddRef(id);
  shared.AddRef(30);
  shared.AddRef(0);
  EXPECT_EQ(std::vector<int32_t>({shared.Count(), shared.UpperBound()}),
            std::vector<int32_t>({6, 6}));
  shared.AddRef(40);
  EXPECT_EQ(std::vector<int32_t>({shared.Count(), shared.UpperBound()}),
            std::vector<int32_t>({7, 12}));
  std::vector<uintptr_t> sorted;
  for (int32_t i = 1; i <= shared.Count(); ++i)
    sorted.push_back(shared.Registered(i));
  EXPECT_EQ(sorted, (std::vector<uintptr_t>{10, 20, 30, 40, 50, 60, 70}));
  shared.RemoveRef(40);
  EXPECT_EQ(std::vector<int32_t>({shared.Count(), shared.UpperBound()}),
            std::vector<int32_t>({6, 6}));

  shared.SetCapturedControl(99); // no live control: nobody to release
  shared.RemoveRef(99);          // not registered, but it had the mouse
  EXPECT_EQ(shared.CapturedControl(), 0u);
  for (uintptr_t id : {10u, 20u, 30u, 50u, 60u, 70u})
    shared.RemoveRef(id);
  EXPECT_EQ(std::vector<int32_t>({shared.Count(), shared.UpperBound()}),
            std::vector<int32_t>({0, 0}));
}

struct Log {
  std::vector<std::string> lines;
  void Watch(aicAlphaImage &control, const std::string &name) {
    control.events.MouseEnter = [this, name] {
      lines.push_back(name + " enter");
    };
    control.events.MouseExit = [this, name] {
      lines.push_back(name + " exit");
    };
    control.events.Click = [this, name](int16_t b) {
      lines.push_back(name + " click " + std::to_string(b));
    };
    control.events.FadeTerminated = [this, name](int32_t o) {
      lines.push_back(name + " faded " + std::to_string(o));
    };
  }
};

// Two controls of one form over the same 100 x 100 pixels.
struct TwoControls {
  TestControl first, second;
  Log log;
  TwoControls() {
    second.site.firstOfType = &first.control;
    for (TestControl *t : {&first, &second}) {
      t->control.InitProperties();
      t->control.SetAutoSize(false); // an empty control would shrink to nothing
    }
    log.Watch(first.control, "first");
    log.Watch(second.control, "second");
  }
};

int16_t HitAt(aicAlphaImage &control, float x, float y, int16_t initial = 0) {
  control.OnHitTest(x, y, initial);
  return initial;
}

TEST(ControlMouse, EnterAndExitAcrossSiblings) {
  TwoControls form;
  ASSERT_EQ(form.first.control.CrossTalkClass(),
            form.second.control.CrossTalkClass());
  EXPECT_EQ(form.first.control.GDIplusInitialized(),
            form.second.control.GDIplusInitialized());
  EXPECT_EQ(HitAt(form.first.control, 10, 10), 3);
  EXPECT_TRUE(form.first.control.isMouseOver());
  EXPECT_EQ(form.first.site.tag, "Timer");
  ASSERT_EQ(form.first.system.timers.size(), 1u);
  EXPECT_EQ(form.first.system.timers.begin()->second.first, 100u);
  HitAt(form.first.control, 12, 10); // still inside: nothing new
  HitAt(form.second.control, 500,
        10); // a miss on the sibling leaves the first alone
  EXPECT_TRUE(form.first.control.isMouseOver());
  HitAt(form.second.control, 12, 10);
  EXPECT_EQ(form.log.lines, (std::vector<std::string>{
                                "first enter", "first exit", "second enter"}));
  EXPECT_TRUE(form.first.system.timers.empty()) << "the first stopped polling";
  EXPECT_EQ(form.first.site.tag, "");

  // The poll sees the cursor leave: one exit.
  form.second.system.cursorX = 500;
  form.second.system.Tick();
  EXPECT_EQ(form.log.lines.back(), "second exit");
  EXPECT_FALSE(form.second.control.isMouseOver());
  EXPECT_TRUE(form.second.system.timers.empty());

  // The host saying "outside" ends it the same way.
  HitAt(form.first.control, 10, 10);
  HitAt(form.first.control, 500, 10, 0);
  EXPECT_EQ(form.log.lines.size(), 6u);
  EXPECT_EQ(form.log.lines.back(), "first exit");
}

TEST(ControlMouse, HitTestsFollowTheShapeAndDesignModeOnlyAnswers) {
  TestControl shaped;
  Log log;
  log.Watch(shaped.control, "shaped");
  shaped.control.InitProperties();
  shaped.control.SetAutoSize(false);
  shaped.control.SetScaleMethod(3);
  ASSERT_TRUE(
      Load(shaped.control, AlphaPng(50, 50))); // transparent border at (25..74)
  shaped.control.SetHitTest(2);
  EXPECT_EQ(HitAt(shaped.control, 25, 25), 0)
      << "a transparent pixel is no hit";
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(HitAt(shaped.control, 30, 30), 3);
  EXPECT_EQ(log.lines, std::vector<std::string>{"shaped enter"});

  TestControl design(100, 100, false);
  Log designLog;
  designLog.Watch(design.control, "design");
  design.control.InitProperties();
  design.control.Resize();
  EXPECT_EQ(HitAt(design.control, 10, 10), 3);
  EXPECT_TRUE(designLog.lines.empty());
  EXPECT_TRUE(design.system.timers.empty());
}

TEST(ControlMouse, ButtonsEventsAndKeysReachTheHost) {
  TestControl t;
  Log log;
  log.Watch(t.control, "c");
  t.control.InitProperties();
  int16_t left = 1, right = 2, shift = 0;
  t.control.OnMouseDown(left, shift, 1, 1);
  t.control.OnMouseUp(left, shift, 1, 1);
  t.control.OnClick();
  t.control.OnMouseUp(right, shift, 1, 1); // never seen pressed
  t.control.OnClick();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"c click 1", "c click 0"}));

  // By reference: a handler's changes reach the host; x and y arrive in
  // the form's scale (twips here).
  float seenX = 0;
  t.control.events.MouseMove = [&](int16_t &b, int16_t &, float x, float) {
    b = 4, seenX = x;
  };
  t.control.events.KeyPress = [](int16_t &key) { key = 0; };
  int other = 0;
  t.control.events.OLEDragDrop = [&](void *&data, int32_t &, int16_t &,
                                     int16_t &, float,
                                     float) { data = &other; };
  int16_t button = 1, key = 'a';
  void *data = nullptr;
  int32_t effect = 0;
  t.control.OnMouseMove(button, shift, 2, 0);
  t.control.OnKeyPress(key);
  t.control.OnOLEDragDrop(data, effect, button, shift, 0, 0);
  EXPECT_EQ(std::vector<int>({button, key}), std::vector<int>({4, 0}));
  EXPECT_EQ(data, &other);
  EXPECT_EQ(seenX, 30.0f);
}

std::vector<int> Fade(int from, int to, int step, int delay, Log &log,
                      uint32_t *interval = nullptr) {
  TestControl t;
  log.Watch(t.control, "c");
  t.control.InitProperties();
  t.control.SetOpacity(from);
  std::vector<int> seen;
  t.control.FadeInOut(to, step, delay);
  seen.push_back(t.control.Opacity());
  if (interval && !t.system.timers.empty())
    *interval = t.system.timers.begin()->second.first;
  for (int i = 0; i < 20 && !t.system.timers.empty(); ++i) {
    t.system.Tick();
    seen.push_back(t.control.Opacity());
  }
  return seen;
}

TEST(ControlFade, StepsToItsTargetWithOneEvent) {
  Log none;
  EXPECT_EQ(Fade(100, 50, 0, 100, none), std::vector<int>({100}));
  EXPECT_TRUE(none.lines.empty());

  Log up;
  uint32_t interval = 0;
  EXPECT_EQ(Fade(0, 150, 10, 0, up, &interval),
            std::vector<int>({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(interval, 10u);
  EXPECT_EQ(up.lines, std::vector<std::string>{"c faded 100"});

  Log down;
  EXPECT_EQ(Fade(100, 0, -30, 25, down), std::vector<int>({70, 40, 10, 0}));
  EXPECT_EQ(down.lines, std::vector<std::string>{"c faded 0"});
}

TEST(ControlFade, StopsWithTheControl) {
  FakeWindowSystem system;
  auto running = std::make_unique<TestControl>();
  running->control.InitProperties();
  running->control.SetOpacity(10);
  running->control.FadeInOut(100, 5, 10);
  ASSERT_EQ(running->system.timers.size(), 1u);
  auto stale = *running->system.timers.begin();
  running->control.Hide();
  EXPECT_TRUE(running->system.timers.empty()) << "hiding stops the fade";
  EXPECT_EQ(running->control.FadeStep(), 0);
  running.reset();
  system.timers.insert(stale); // a tick already on its way
  system.Tick();
  EXPECT_EQ(system.unrouted, 1) << "the tick reached a control that is gone";
  EXPECT_TRUE(system.timers.empty())
      << "the timer of a control that is gone goes on";
}

// Controls whose memory is spoilt as soon as they are destroyed, so that
// any later use of one shows (a crash here, a report under AddressSanitizer).
struct DoomedForm {
  alignas(TwoControls) unsigned char storage[sizeof(TwoControls)];
  TwoControls *form = new (storage) TwoControls;
  FakeWindowSystem ticks; // a poll timer's tick, outside the controls
  void Destroy() {
    if (!form)
      return;
    form->~TwoControls();
    std::memset(storage, 0xA5, sizeof storage);
    form = nullptr;
  }
  ~DoomedForm() { Destroy(); }
};

TEST(ControlEvents, AHandlerMayDestroyTheControls) {
  using Trigger = std::function<void(DoomedForm &)>;
  struct Row {
    const char *name;
    std::function<void(DoomedForm &)>
        arm; // sets the handler that destroys the form
    Trigger trigger;
  };
  const auto destroyOn = [](std::function<void()> aicAlphaImage::Events::*event,
                            bool onFirst = false) {
    return [=](DoomedForm &d) {
      (onFirst ? d.form->first : d.form->second).control.events.*
          event = [&d] { d.Destroy(); };
    };
  };
  const Row rows[] = {
      {"mouse enter", destroyOn(&aicAlphaImage::Events::MouseEnter),
       [](DoomedForm &d) { HitAt(d.form->second.control, 10, 10); }},
      {"click",
       [](DoomedForm &d) {
         d.form->second.control.events.Click = [&d](int16_t) { d.Destroy(); };
       },
       [](DoomedForm &d) { d.form->second.control.OnClick(); }},
      {"double click",
       [](DoomedForm &d) {
         d.form->second.control.events.DblClick = [&d](int16_t) {
           d.Destroy();
         };
       },
       [](DoomedForm &d) { d.form->second.control.OnDblClick(); }},
      {"fade end",
       [](DoomedForm &d) {
         d.form->second.control.events.FadeTerminated = [&d](int32_t) {
           d.Destroy();
         };
       },
       [](DoomedForm &d) { d.form->second.control.FadeInOut(0, 100, 10); }},
      {"the sibling's exit as this one enters",
       destroyOn(&aicAlphaImage::Events::MouseExit, true),
       [](DoomedForm &d) {
         HitAt(d.form->first.control, 10, 10);
         HitAt(d.form->second.control, 10, 10);
       }},
      {"exit seen by the poll", destroyOn(&aicAlphaImage::Events::MouseExit),
       [](DoomedForm &d) {
         HitAt(d.form->second.control, 10, 10);
         d.form->second.system.cursorX = 500;
         d.ticks.timers = d.form->second.system.timers;
         d.ticks.Tick();
       }},
  };
  for (const Row &row : rows) {
    DoomedForm doomed;
    row.arm(doomed);
    row.trigger(doomed);
    EXPECT_EQ(doomed.form, nullptr) << row.name << ": the handler ran";
  }
}

} // namespace
