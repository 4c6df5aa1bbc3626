#pragma once

#define IDD_EXAMPLE 100
#define IDR_PICTURE 101
#define IDC_PICTURE 1001
#define IDC_OPACITY 1002
#define IDC_SHADOW 1003
#define IDC_FADE 1004
#define IDC_STATUS 1005
