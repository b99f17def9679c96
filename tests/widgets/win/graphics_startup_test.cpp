#include <gtest/gtest.h>

#include <cstring>

#include "runtime/win/unique_handle.hpp"
#include "runtime/win/window_property.hpp"
#include "widgets/win/graphics_startup.hpp"
#include "widgets/win/memory_image.hpp"
#include "tests/widgets/win/test_window.hpp"

namespace lumen::widgets {
namespace {

TEST(GraphicsStartUp, StartsTheLibraryOnceAndPreparesLoadingWindows) {
  WidgetState state;
  InitialiseWidgets(state);
  EXPECT_NE(state.graphicsToken, 0u);
  EXPECT_NE(state.loadingWindowGraphicsToken, 0u);
  const std::uintptr_t first = state.graphicsToken;
  StartGraphics(state);
  EXPECT_EQ(state.graphicsToken, first);

  ASSERT_TRUE(state.frameDimension);
  // {6AEDBD6D-3FB5-418A-83A6-7F45229DC872}, the time frame dimension.
  const GUID time{0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};
  EXPECT_EQ(std::memcmp(state.frameDimension->data(), &time, sizeof time), 0);

  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), kLoadingWindowClass, &window_class));
  EXPECT_EQ(window_class.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW));
  EXPECT_EQ(window_class.hbrBackground, reinterpret_cast<HBRUSH>(16));
  EXPECT_EQ(window_class.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(window_class.hIcon, nullptr);
}

DWORD WINAPI animate_until_told(void*) {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
  }
  return 7;
}

TEST(LoadingWindow, StopsItsAnimationAndReleasesItsImageWhenDestroyed) {
  WidgetState state;
  InitialiseWidgets(state);
  HWND window = CreateWindowExA(0, kLoadingWindowClass, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);

  DWORD thread_id = 0;
  HANDLE thread = CreateThread(nullptr, 0, animate_until_told, nullptr, 0, &thread_id);
  ASSERT_NE(thread, nullptr);
  HANDLE watched = nullptr;
  DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watched, 0, FALSE, DUPLICATE_SAME_ACCESS);
  const win::KernelHandle watch(watched);
  Sleep(50);  // the thread has its queue

  const win::WindowProperty<HANDLE> thread_property{"Lumen_Thread"};
  const win::WindowProperty<GpImage*> image_property{"Lumen_Image"};
  const win::WindowProperty<HGLOBAL> memory_property{"Lumen_Stream"};
  ASSERT_TRUE(thread_property.set(window, thread));
  ASSERT_TRUE(image_property.set(window, test::solid_image(4, 4, 0xFF00FF00).release()));
  ASSERT_TRUE(memory_property.set(window, GlobalAlloc(GMEM_MOVEABLE, 64)));

  DestroyWindow(window);
  // The thread was asked to stop and has ended before the window was gone.
  ASSERT_EQ(WaitForSingleObject(watch.get(), 0), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(watch.get(), &code);
  EXPECT_EQ(code, 7u);
}

}  // namespace
}  // namespace lumen::widgets
