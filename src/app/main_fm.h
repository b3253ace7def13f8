#pragma once
#include "platform/picture_prefetch.h"
#include "ui/main_fm_design.h"

#include <cstdint>

// The main window's code: the members other windows share and every handler, grouped by
// subsystem. The controls and their make-up are MainFmDesign's.
class MainForm : public MainFmDesign {
  public:
    // Wires the controls' events to the handlers.
    MainForm();

    // The window's state, by the subsystem that owns it; all 0 or empty when the window is
    // created.

    // The picture on show (loading and drawing).
    struct Picture {
        std::uint8_t pic_ok = 0;     // a picture load has been attempted
        std::uint8_t copy_ok = 0;    // the last load succeeded
        std::uint8_t busy_flag = 0;  // a load or redisplay is in progress
        platform::Prefetch prefetch; // the pictures to be shown next, read ahead
        QSize ahead_area;            // the fitted_area() they are read for
        // For the fitted view pic_moto may hold a JPEG at the size it is shown at; its file's
        // bytes are kept, and decoded again when more of it is needed (the loupe, own size, a
        // larger picture area), since the file may be gone or hold another picture by then.
        QSize moto_own;          // the picture's own size
        QByteArray moto_data;    // the file's bytes while pic_moto holds it at another size
        qint64 moto_reduced = 0; // cache key of that picture held at another size, 0 when whole
    } picture;

    // The slideshow's steps.
    struct Slideshow {
        std::uint8_t play_ok = 0;     // the sequencer found a marked entry
        std::uint8_t repeat_back = 0; // auto-repeat direction: 1 BACK, 0 NEXT
    } slideshow;

    // The loupe.
    struct Loupe {
        std::uint8_t loupe_flag = 0;
        std::uint8_t zoom_no = 0;  // zoom index, 6..15 by clicks
        std::uint8_t zoom_old = 0; // the index loupe_x and loupe_y are scaled by
        std::int32_t loupe_x = 0;  // centre in pixels of the scaled picture
        std::int32_t loupe_y = 0;
    } loupe;

    // The window's placement.
    struct Placing {
        std::int32_t moving_flag = 0; // move_window is moving the window
    } placing;

    // The drive and folder lists and the listing they run.
    struct Listing {
        QString old_drive;                 // the drive to return to when a chosen one can't be read
        QString old_path;                  // folder of the last listing, with a trailing separator
        std::uint8_t listed = 0;           // a listing has run since the window was loaded
        std::uint8_t drive_going_back = 0; // the drive list returns to a drive, the folder stays
    } listing;

    // Lifecycle
    void Form_Load() override;
    void Form_Activate() override;
    void Form_KeyPress(int& key_ascii) override;
    void Form_QueryUnload(int& cancel, int unload_mode) override;
    void Form_Unload(int& cancel) override;
    void Form_Resize() override;

    // Settings and placement
    void load_settings();
    void save_settings();
    void move_window(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    std::int32_t frame_height();

    // Folder listing
    void Drive1_Change();
    void Dir1_Change();
    void Dir2_Change();
    // The list was replaced: no entry is current, and the labels that named one are cleared.
    void forget_current_entry();

    // Sequencer and playback
    void play_next();
    void play_back();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command1_MouseDown();
    void Command2_MouseDown();
    void Command1_MouseUp();
    void Command2_MouseUp();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // The screen is kept awake while the slideshow plays in a window that is not minimised;
    // looked at again, once events are served, after a timer is switched or an entry found.
    bool slideshow_playing() const;
    void keep_screen_awake();

    // A picture or folder to open, from the command line or another instance: a folder as if
    // chosen in the folder list, a picture in its folder's listing, current and on show.
    void open_path(const QString& path);
    void open_folder(const QString& folder);

    // Selection and hints
    void Command6_Click();
    void List1_Click();
    void List1_DblClick();
    void List1_MouseMove();
    void Label5_MouseMove();
    void List1_KeyPress(int& key_ascii);

    // Picture loading and drawing
    void load_picture();
    // The entry play_next would reach from entry `from`, marks as they are now; -1 if none.
    int upcoming_entry(int from) const;
    // The files to read ahead: the entry a pending delayed load shows, then the ones the
    // slideshow reaches next (two while it plays fast), leaving out the picture on show.
    QStringList entries_ahead() const;
    // Reads ahead what is shown next and forgets what no longer is.
    void read_ahead();
    // Forgets what was read ahead and is no longer to be shown.
    void forget_stale_reads();
    void pic_layout();
    void sai_hyouji();
    void timed_load();
    // The shown picture's own size, which pic_moto may hold a reduced copy of.
    QSize picture_size() const;
    // How much of a picture the screen needs now: its fitted size, or all of it for the
    // loupe and the own-size view.
    platform::SizeNeeded screen_need() const;
    // The picture area's size while pictures are fitted into it; none when they are needed
    // whole (the loupe, the own size).
    QSize fitted_area() const;
    // How the screen wants a picture read: at the size it is shown at, when it is fitted.
    platform::ReadOptions screen_read() const;
    void hold_picture(platform::HeldPicture held);
    // Decodes the held picture again when pic_moto has less of it than the screen needs.
    void read_more_if_needed(QSize shown);
    // PaintPicture from pic_moto, the source rectangle in the picture's own pixels.
    void paint_held(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh);

    // Display modes and the popup menu
    void show_panels(bool on);
    void fill_with_pic();
    void popup_menu(double x, double y);

    // Loupe and the mouse on the picture
    void loupe_switch();
    void draw_picture();
    void pic_MouseDown(int button, int shift, double x, double y);
    void pic_MouseMove(double x, double y);

    // Search
    void Command7_Click();
    std::int16_t DirDiver(const QString& NewPath, const QString& BackUp);

    // Export: copy to the clipboard, set as wallpaper
    void Command8_Click();
    void Command9_Click();

  private:
    void press_step(std::uint8_t back);
};
