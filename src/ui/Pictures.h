#pragma once
// Names of the pictures built into the program (src/ui/res/Pictures.rc, RCDATA), and the id of the
// scan animation (resource type "AVI").
inline constexpr wchar_t kPicBanner[] = L"BANNER_JPG";
inline constexpr wchar_t kPicLogo[] = L"LOGO_PNG";
inline constexpr wchar_t kPicFlag[] = L"FLAG_PNG";
inline constexpr wchar_t kPicRowSpyware[] = L"ROW_SPYWARE_PNG";
inline constexpr wchar_t kPicRowRegistry[] = L"ROW_REGISTRY_PNG";
inline constexpr wchar_t kPicRowPrivacy[] = L"ROW_PRIVACY_PNG";
inline constexpr wchar_t kPicRowJunk[] = L"ROW_JUNK_PNG";
inline constexpr wchar_t kPicHeaderSpyware[] = L"HEADER_SPYWARE_PNG";
inline constexpr wchar_t kPicHeaderRegistry[] = L"HEADER_REGISTRY_PNG";
// The list icons in image-list order: 0 registry, 1 file, 2 folder, 3 cookie, 4 and 5 the registry
// fixer's two groups.
inline constexpr const wchar_t* kPicListIcons[] = {L"LIST0_PNG", L"LIST1_PNG", L"LIST2_PNG",
                                                   L"LIST3_PNG", L"LIST4_PNG", L"LIST5_PNG"};
inline constexpr int kScanAnimationId = 100;
