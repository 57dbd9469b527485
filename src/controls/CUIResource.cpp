#include "controls/CUIResource.h"

#include "controls/CUIFontPair.h"

namespace {
CUIResource g_uiResource;
}  // namespace

CUIResource& CUIResource::Instance() { return g_uiResource; }

CUIResource::~CUIResource() {
  if (m_richEdit) ::FreeLibrary(m_richEdit);
}

int CUIResource::Init() {
  Uninit();
  CUIResource& self = Instance();
  HINSTANCE module = ::GetModuleHandleW(nullptr);
  self.m_skinBitmap.Attach(::LoadBitmapW(module, MAKEINTRESOURCEW(kSkinBitmapId)));
  CUIFontPair::Create();
  self.m_richEdit = ::LoadLibraryW(L"riched20.dll");
  return 0;
}

int CUIResource::Uninit() {
  CUIResource& self = Instance();
  self.m_skinBitmap.DeleteObject();
  CUIFontPair::Destroy();
  if (self.m_richEdit) ::FreeLibrary(self.m_richEdit);
  self.m_richEdit = nullptr;
  return 0;
}

HBITMAP CUIResource::GetSkinBitmap() { return Instance().m_skinBitmap; }
