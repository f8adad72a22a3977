// Fixture for tests on the headless image slots: every test starts from the
// start-up state with the default screen and frees what it made.
#pragma once

#include "image/slots.h"
#include "image/slots_headless.h"

struct FreshSlots {
  FreshSlots()
  {
    headless_set_metrics(headless_default_metrics());
    headless_fail_buffers(false);
    reset_image_slots();
  }
  ~FreshSlots()
  {
    headless_fail_buffers(false);
    reset_image_slots();
  }
};
