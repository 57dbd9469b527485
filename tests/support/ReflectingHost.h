#pragma once
// A stand-in for a dialog and its host view in control tests: a top-level window
// holding a child "view" that, like the console's view, reflects its children's
// colour, owner-draw and notification messages back to them (as OCM_ messages).
// Controls under test are created as children of View().
#include <windows.h>

#include <memory>

class ReflectingHost {
 public:
  explicit ReflectingHost(int width = 400, int height = 300);
  ~ReflectingHost();
  ReflectingHost(const ReflectingHost&) = delete;
  ReflectingHost& operator=(const ReflectingHost&) = delete;

  HWND Dialog() const;
  HWND View() const;
  // Destroys the dialog with everything in it (the destructor does it otherwise).
  void Destroy();

 private:
  struct Windows;
  std::unique_ptr<Windows> windows_;
};
