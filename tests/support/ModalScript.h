#pragma once
// The modal script of a test: a message box or dialog that the test did not script,
// or a scripted one that never came, becomes a test failure carrying its text.
#include <gtest/gtest.h>

#include <string>

#include "uiwin/UiModalScript.h"

class ModalScript : public UiModalScript {
 public:
  ModalScript() : UiModalScript([](const std::string& text) { ADD_FAILURE() << text; }) {}
};
