// The chart generator's parameter rules, driven the way its run loop drives
// them: item texts read like atoi/atof, effects carried out on the texts.
#include <doctest/doctest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "forms/real_format.h"
#include "image/slots_headless.h"
#include "image/zoom_fit.h"
#include "lenticular/params.h"

namespace {

// The input box's item texts and what one polling pass does with them.
struct Loop {
  ChartState s;
  std::string text[8] = {"8.", "1.", "10", "2", "2", "0", "640", "480"};
  SizeLimits limits = size_limits(headless_default_metrics(), 0);   // as the work image is made
  int redraws = 0, refills = 0, resizes = 0;

  int get_int(int item) const { return std::atoi(text[item].c_str()); }
  void set_real(int item, double v)
  {
    char b[real_text_size];
    format_real(v, b, sizeof b);
    text[item] = b;
  }
  void apply(const Effect& e)
  {
    if (e.restore_item >= 0)
      text[e.restore_item] = std::to_string(e.restore_value);
    refills += e.refill_work;
    redraws += e.redraw;
    if (e.show_pitch)
      set_real(item_pitch, s.pitch);
    if (e.show_p_step)
      set_real(item_p_step, s.p_step);
  }
  // Types the texts into their items, then makes one pass.
  Loop& type(std::initializer_list<std::pair<int, const char*>> typed)
  {
    for (auto [item, t] : typed)
      text[item] = t;
    pass();
    return *this;
  }
  void pass()
  {
    apply(check_view_num(s, get_int(item_view_num)));
    apply(check_pic_num(s, get_int(item_pic_num), 1000, 500, limits));
    apply(check_pitch(s, std::atof(text[item_pitch].c_str())));
    apply(check_step(s, get_int(item_step)));
    apply(check_p_step(s, std::atof(text[item_p_step].c_str())));
    apply(check_width(s, get_int(item_width), limits));
    apply(check_height(s, get_int(item_height), limits));
    redraws += s.resize_pending;   // a pending resize is applied, then drawn
    resizes += std::exchange(s.resize_pending, 0);
  }
  // After the first pass every last-acted-on value is in force.
  Loop& settle()
  {
    pass();
    redraws = refills = resizes = 0;
    return *this;
  }
  int changes() const { return redraws + refills + resizes; }
};

// pitch, first pitch and highlighted band
std::vector<double> pitches(const ChartState& s) { return {s.pitch, s.first_pitch, double(s.highlight)}; }

} // namespace

TEST_CASE("set-up texts and passes; sizes outside their ranges put back; counts below 1 and huge work images refused")
{
  // The set-up: texts, long file names never cut, two redraws on the first
  // pass, one after a refused step.
  Loop fresh;
  const auto lines = summary_lines(fresh.s);
  CHECK(lines[0] + lines[1] + lines[2] + lines[3] ==
        "pitch: 8.000000\ndt: 4.000000\npic_num: 2\nview_num: 2\n");
  // The other default names are the end-to-end test's.
  CHECK((toggle_check_mode(fresh.s) && chart_file_name(fresh.s, true) == "lenti_check_R_480_640.png"));
  CHECK_FALSE(toggle_check_mode(fresh.s));
  // Huge pitches give long file names, never cut ones.
  ChartState huge;
  huge.first_pitch = 1e300;
  CHECK((chart_file_name(huge, false).ends_with("_640_480.png") && chart_file_name(huge, false).size() > 600));

  // step and p_step have never been acted on (last values 0).
  fresh.pass();
  CHECK((fresh.redraws == 2 && fresh.changes() == 2));
  fresh.settle().pass();
  CHECK(fresh.changes() == 0);

  // A step refused before the first pass shows the step in force, a text
  // that has still never been acted on.
  Loop refused;
  CHECK(refused.type({{item_step, "-3"}}).text[item_step] == "10");
  refused.redraws = 0;
  refused.pass();
  CHECK(refused.redraws == 1);

  // Sizes outside their ranges are put back, inside applied once (the loop
  // is settled).
  for (const char* typed : {"2000", "119", "abc", "-640", "1241"}) {
    CAPTURE(typed);
    fresh.type({{item_width, typed}, {item_height, typed}});
    CHECK(fresh.text[item_width] == (std::string(typed) == "1241" ? "1241" : "640"));
    CHECK((fresh.text[item_height] == "480" && fresh.s.chart_height == 480));
  }
  CHECK((fresh.s.chart_width == 1241 && fresh.resizes == 1));
  fresh.type({{item_width, "800"}, {item_height, "120"}});
  CHECK((fresh.s.band_height == 12 && work_image_width(fresh.s) == 4800 && fresh.resizes == 2 && fresh.redraws == 2));

  // Counts below 1 and values the work image cannot take are refused.
  Loop l = Loop{}.settle();
  const ChartState before = l.s;
  for (const char* typed : {"0", "-3", "abc"})
    l.type({{item_step, typed}, {item_pic_num, typed}, {item_view_num, typed}});
  l.type({{item_step, "1241"}, {item_pic_num, "17"}, {item_view_num, "5761"}});
  CHECK(l.text[item_step] + l.text[item_pic_num] + l.text[item_view_num] == "1022");
  CHECK((l.changes() == 0 && l.s.step == before.step && l.s.first_pitch == before.first_pitch));

  SUBCASE("more than 256 MiB")
  {
    // 51840 x 1240 words: 245 MiB; 10 pictures would be 272 MiB.
    l.type({{item_width, "1920"}, {item_height, "1240"}, {item_step, "1"}, {item_pic_num, "9"}});
    CHECK((l.s.pic_num == 9 && l.type({{item_pic_num, "10"}}).text[item_pic_num] == "9"));
  }
  SUBCASE("a window no zoom fits on the screen")
  {
    // Bands of 4 rows: a work image 4800 x 4 is never 8 rows high on screen
    // while at most 1920 wide.
    l.limits = size_limits(headless_default_metrics(), 1);
    CHECK(l.type({{item_step, "120"}}).s.band_height == 4);
    l.type({{item_width, "800"}, {item_pic_num, "3"}});
    CHECK(l.text[item_width] + l.text[item_pic_num] == "6402");
  }
  SUBCASE("more views than pictures, and a new picture count")
  {
    l.type({{item_view_num, "3"}, {item_pic_num, "3"}});
    CHECK((l.s.picture_width == 333 && work_image_width(l.s) == 5760 && l.refills == 1 && l.redraws == 2));
  }
}

TEST_CASE("typed pitches and the arrow buttons: p_step within its range, pitch steps re-centre or walk the yellow band")
{
  Loop l = Loop{}.settle();
  SUBCASE("p_step x10")
  {
    l.apply(press_left(l.s));
    // Band 0 would be below 0: the pitch moves up to 4 x 10 and is shown.
    CHECK(l.text[item_pitch] + l.text[item_p_step] == "40.10.");
    l.pass();
    CHECK((!press_left(l.s).redraw && l.s.p_step == 10 && l.s.p_step_exponent == 1));
  }
  SUBCASE("p_step /10, the texts read back after every press")
  {
    for (int press = 0; press < 6; ++press) {
      l.apply(press_right(l.s));
      l.pass();
    }
    // 1e-5 / 10 is not the double nearest 1e-6; the text read back is.
    CHECK(l.text[item_p_step] == "1.e-006");
    CHECK((!press_right(l.s).redraw && l.s.p_step == 1e-6 && l.s.p_step_exponent == -6));
  }
  SUBCASE("NaN is a change on every pass")
  {
    l.type({{item_pitch, "nan"}}).pass();
    CHECK(l.redraws == 2);
  }
  SUBCASE("pitch away from 0")
  {
    l.apply(press_up(l.s));
    CHECK((l.s.first_pitch == 3 && l.text[item_pitch] == "7."));
    l.apply(press_down(l.s));
    l.apply(press_down(l.s));
    CHECK(pitches(l.s) == std::vector<double>{9, 5, 4});
    l.pass();                      // the texts match what was acted on
    CHECK(l.redraws == 3);
  }
  SUBCASE("pitch at 0: typed 1 clamps band 0 at pitch 0 and keeps redrawing while the text says 1")
  {
    l.type({{item_pitch, "1"}});
    CHECK(pitches(l.s) == std::vector<double>{4, 0, 4});
    CHECK((summary_lines(l.s)[0] == "pitch: 4.000000\n" && l.text[item_pitch] == "1"));
    l.pass();
    CHECK(l.redraws == 2);
    for (int band = 3; band >= 0; --band) {
      l.apply(press_up(l.s));
      CHECK(pitches(l.s) == std::vector<double>{double(band), 0, double(band)});
    }
    const Effect below = press_up(l.s);
    CHECK((!below.redraw && !below.show_pitch && l.s.pitch == -1 && l.s.highlight == 0));
    // "↓" from there re-centres to band 1 at pitch 1, then climbs to the centre.
    l.apply(press_down(l.s));
    CHECK(pitches(l.s) == std::vector<double>{1, 0, 1});
    for (int n = 0; n < 6; ++n)
      l.apply(press_down(l.s));
    CHECK(l.s.highlight == 4);
  }
}
