#pragma once

#include "Form.h"
#include "ImageList.h"
#include "ListView.h"
#include "Toolbar.h"

#include <QFrame>

#include <cstdint>

// The playlist window: the course's videos and the student's own, with the editing toolbar.
class frmPlaylist : public toolkit::Form
{
    Q_OBJECT
  public:
    frmPlaylist();

    void Form_Load() override;
    void Form_Unload(int &cancel) override;
    void Form_Resize() override;

    void InitPlaylistWindow();
    // Replaces the whole list with the entries of a list file.
    void OpenPList(const QString &file);
    // Adds one entry at the end (or at its sorted place), giving an intro its colour.
    toolkit::ListItem AddEntry(const QString &key, const QString &title, const QString &length);
    // Recolours every entry (intro or normal) and then marks `currentKey` as current.
    void ApplyColourRule(const QString &currentKey);

    static constexpr std::uint32_t kNormalColour = 0x00FFFFFF;
    static constexpr std::uint32_t kIntroColour = 0x8000000B;
    static constexpr std::uint32_t kCurrentColour = 0x0000FFFF;
    static constexpr std::uint32_t kListBackColour = 0x00400000;

    toolkit::ImageList imlToolbar;
    QFrame fratlbContainer;
    toolkit::Toolbar tlbPlaylist;
    toolkit::ListView lvPlaylist;
};

namespace forms
{
::frmPlaylist &frmPlaylist();
} // namespace forms
