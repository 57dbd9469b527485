#include "integrity/CQvHIPSTRNRDetailTDlg.h"

namespace {

const HipsSampleNode kDisks[] = {
    {0, L"服务器组", kHipsGroupPicture},
    {1, L"本地磁盘(C:)", kHipsDrivePicture},
    {1, L"本地磁盘(D:)", kHipsDrivePicture},
    {2, L"WebSite", kHipsFolderPicture},
    {3, L"Main", kHipsFolderPicture},
    {3, L"Upload", kHipsFolderPicture},
    {3, L"Data", kHipsFolderPicture},
    {1, L"本地磁盘(E:)", kHipsDrivePicture},
};

}  // namespace

CQvHIPSTRNRDetailTDlg::CQvHIPSTRNRDetailTDlg(std::wstring* result, const wchar_t* title)
    : CHipsSamplePickerDlg(result, title, kDisks) {}

void CQvHIPSTRNRDetailTDlg::OnOK() {
  const std::wstring path = Tree().CheckedBranch(Root());
  if (!path.empty()) Choose(path);
}
