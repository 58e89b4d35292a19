# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What a player does with the program, as data: the bh.cfg it starts with, the steps, and what
the screen, the file and the exit status must show. Grouped so ctest can run groups side by
side and a failure names its area."""

import dataclasses
import os
from fractions import Fraction

from scenario import (
    ABSENT, BACKDROP_ONLY, FIFO, CHECK_BOXES, DEBUG_PREVIEW, DEFAULT_COLOURS, LEFT_OF_OPTIONS, LIGHT_GREY,
    OK_BUTTON, OPTION_COLUMN, PANEL, PANEL_FILL, SCROLL_BARS, TEXT_BOXES, UNCHANGED, WHITE, Box,
    CaptionInk, ChangedOnlyWithin, Click, ClickTitleBarButton, CloseThroughWindowManager,
    CloseWithAltF4, DrawnAsQtScales,
    Contains, Differs, DoubleClickTitleBar, DragTitleBar, ErrorBox, FixedFrame, FullScreen, Key,
    Lacks, LoseFolder, MouseDown, OnScreen, MouseMove, MouseUp, Pad, Pixel, Same, Scenario, NotPixelDoubled, Shot,
    TitleBar, Type, WINDOW, bar_down_arrow, bar_thumb_at_top, bar_track_near_bottom, bar_up_arrow,
    caption_label, centre, cfg, message_label, near_left)

OK = Click(*centre(OK_BUTTON))


def click_box(name):
    return Click(*near_left(CHECK_BOXES[name]))


def click_name(index):
    return Click(*near_left(message_label(index)))


def name_in(index, colour):
    """The name of message type index is drawn in colour."""
    return Contains(message_label(index), colour, f"name {index} in its colour")


def name_margin(first, count=1):
    """The panel's margin left of names first to first + count - 1: nothing but the panel
    there until a type is chosen with the keys, then the mark beside the chosen name."""
    left, top, _, height = message_label(first)
    inside = PANEL[0] + 1
    return (inside, top, left - inside, message_label(first + count - 1)[1] + height - top)


def mark_beside(index):
    return Contains(name_margin(index), WHITE, f"mark beside name {index}")


NAME_MARGIN = name_margin(0, 14)


def all_names_in(colours):
    return [name_in(i, colour) for i, colour in enumerate(colours)]


def boxes(**states):
    return [Box(name, bool(on)) for name, on in states.items()]


def with_colour(index, colour, colours=DEFAULT_COLOURS):
    changed = list(colours)
    changed[index] = colour
    return changed


def retype(c, text):
    """Clicks into colour box c, selects all it holds and types text over it."""
    return [Click(*centre(TEXT_BOXES[c])), Key("ctrl+a"), Type(text)]


# The panel: a white line one pixel wide along its edge, dark grey inside. The points are the
# corners, the middle of each edge and a few inner places that no control covers.
_L, _T, _W, _H = PANEL
_R, _B = _L + _W - 1, _T + _H - 1
PANEL_LOOKS = [
    *(Pixel(x, y, WHITE, "panel border") for x, y in [
        (_L, _T), (_L + _W // 2, _T), (_R, _T), (_L, _T + _H // 2), (_R, _T + _H // 2),
        (_L, _B), (_L + _W // 2, _B), (_R, _B)]),
    *(Pixel(x, y, PANEL_FILL, "panel fill") for x, y in [
        (_L + 1, _T + 1), (_R - 1, _T + 1), (_L + 4, _T + _H // 2), (_R - 10, _T + _H // 2),
        (_L + 1, _B - 1), (_L + 84, _B - 2), (_R - 1, _B - 1)]),
]

# The face of every option box is light grey: a point right of each caption, inside the box.
OPTION_FACES = [Pixel(left + width - 3, top + 2, LIGHT_GREY, f"{name} face")
                for name, (left, top, width, _) in CHECK_BOXES.items()]

CAPTIONS_WHITE = [Contains(caption_label(c), WHITE, f"caption {c} white") for c in range(3)]

# The option captions' widths in ink in DejaVu Sans at 12 pixels, as Linux draws them.
CAPTION_INK = [CaptionInk(*row) for row in dict(chkFullScreen=64, chkDebug=64, chkAntialias=69,
    chkDither=54, chk16bit=34, chk24bit=34, chk32bit=34, chkWBuffer=69, chkKeepBodies=155).items()]

# The debug preview covers the top-left corner up to where the panel starts; below that the
# panel stands over it. Whatever else changes when the preview comes and goes is a fault
# (the option column is left out: a click moves the focus frame there).
PREVIEW_ABOVE_PANEL = ((0, 0, DEBUG_PREVIEW[2], PANEL[1]),
                       (0, PANEL[1], PANEL[0], DEBUG_PREVIEW[3] - PANEL[1]), OPTION_COLUMN)


# --- What the player sees after start-up ---------------------------------------------------

# A player's fonts.conf (in players-fonts/fontconfig/) asking for full hinting and RGB colour.
PLAYERS_FONTS_CONF = {"XDG_CONFIG_HOME": os.path.join(os.path.dirname(__file__),
                                                      "players-fonts")}
LOADED_DEBUG_ON = cfg(options=(1, 1, 0, 1, 0), depth=24, keep=1)
LOADED_DEBUG_OFF = cfg(options=(0, 0, 1, 0, 1), depth=16, keep=0,
                       colours=with_colour(0, (255, 255, 255)))

LOAD = [
    Scenario(
        "load_debug_on_then_hide_and_show_preview",
        config=LOADED_DEBUG_ON,
        steps=[
            Shot("loaded", *PANEL_LOOKS, *OPTION_FACES, *CAPTIONS_WHITE, *CAPTION_INK,
                 *all_names_in(DEFAULT_COLOURS),
                 *boxes(chkFullScreen=1, chkDebug=1, chkAntialias=0, chkDither=1, chk16bit=0,
                        chk24bit=1, chk32bit=0, chkWBuffer=0, chkKeepBodies=1)),
            click_box("chkDebug"),
            Shot("hidden", Box("chkDebug", False),
                 Differs("loaded", DEBUG_PREVIEW, "preview gone"),
                 ChangedOnlyWithin("loaded", PREVIEW_ABOVE_PANEL, "only the preview went")),
            click_box("chkDebug"),
            Shot("shown_again", Box("chkDebug", True),
                 Same("loaded", LEFT_OF_OPTIONS, "preview back as at start")),
            CloseThroughWindowManager(),
        ],
        expect_file=UNCHANGED, expect_status=0),
    # The window as it has always been drawn (the picture was taken before the program had a
    # font configuration of its own), and again under a player's fonts.conf asking for full
    # hinting and sub-pixel colour, as many laptops' do: that put colour fringes on the captions.
    # A folder named in Cyrillic keeps the system's fonts, for its name in an error box. A change
    # of look made on purpose replaces looks/ with the screenshot the failing run keeps.
    *(Scenario(f"looks_as_it_always_has{name}", config=LOADED_DEBUG_ON, env=env, folder=folder,
               steps=[Shot("loaded", Same("loaded-debug-on.png", WINDOW, "the window")),
                      CloseThroughWindowManager()],
               expect_file=UNCHANGED, expect_status=0)
      for name, env, folder in [
          ("", None, b"game"),
          ("_under_a_players_fonts_conf", PLAYERS_FONTS_CONF, b"game"),
          ("_in_a_cyrillic_folder_under_a_players_fonts_conf", PLAYERS_FONTS_CONF,
           "Игры".encode())]),
    Scenario(
        # A file the program wrote comes back byte for byte when OK is pressed untouched.
        "load_debug_off_then_show_preview_and_ok",
        config=LOADED_DEBUG_OFF,
        steps=[
            Shot("loaded", *PANEL_LOOKS, *CAPTIONS_WHITE,
                 *all_names_in(with_colour(0, (255, 255, 255))),
                 *boxes(chkFullScreen=0, chkDebug=0, chkAntialias=1, chkDither=0, chk16bit=1,
                        chk24bit=0, chk32bit=0, chkWBuffer=1, chkKeepBodies=0)),
            click_box("chkDebug"),
            Shot("shown", Box("chkDebug", True),
                 Differs("loaded", DEBUG_PREVIEW, "preview shown"),
                 ChangedOnlyWithin("loaded", PREVIEW_ABOVE_PANEL, "only the preview came")),
            click_box("chkDebug"),
            Shot("hidden_again", Box("chkDebug", False),
                 Same("loaded", LEFT_OF_OPTIONS, "backdrop as at start")),
            OK,
        ],
        expect_file=LOADED_DEBUG_OFF, expect_status=0),
]


# --- OK writes the normal form; anything else saves nothing --------------------------------

ODD_FIELDS = cfg(lines=[
    "01", "true", "1", "yes", " 1", "8", '"1"',
    "254.5", "&HFF", "12abc", "", "2 5", '"9"', "-0.4", "255.4", "1E2", "0.5", "1.5", "&O17",
    *[str(v) for colour in DEFAULT_COLOURS[4:] for v in colour],
    "extra", "77",
])
ODD_FIELDS_NORMALISED = cfg(
    options=(0, 0, 1, 0, 1), depth=32, keep=1,
    colours=[(254, 255, 12), (0, 25, 9), (0, 255, 100), (0, 2, 15), *DEFAULT_COLOURS[4:]])

# A depth of 16 with W-buffering off must load as it stands: the depth rule is held off then.
PROGRAM_WRITTEN = cfg(options=(0, 1, 1, 0, 0), depth=16, keep=1)
NOT_NORMAL = cfg(lines=["true", *cfg(options=(0, 0, 0, 0, 0)).decode().split("\r\n")[1:-1]])

FILES = [
    Scenario(
        "ok_untouched_writes_normal_form",
        config=ODD_FIELDS,
        steps=[Shot("loaded", PANEL_LOOKS[0]), OK],
        expect_file=ODD_FIELDS_NORMALISED, expect_status=0),
    Scenario(
        "close_through_title_bar_after_edits_saves_nothing",
        config=PROGRAM_WRITTEN,
        steps=[
            Shot("loaded", *boxes(chk16bit=1, chkWBuffer=0, chkDebug=1)),
            click_box("chkFullScreen"), click_box("chk24bit"), click_box("chkDebug"),
            Click(*bar_down_arrow(0)),
            click_name(3),
            *retype(1, "12"),
            Shot("edited", *boxes(chkFullScreen=1, chk24bit=1, chkDebug=0),
                 name_in(3, (255, 12, 96))),
            CloseThroughWindowManager(),
        ],
        expect_file=UNCHANGED, expect_status=0),
    Scenario(
        # The file is not in normal form, so a save by mistake would show in its bytes.
        "escape_and_enter_do_not_press_ok",
        config=NOT_NORMAL,
        steps=[
            Key("Escape", "Return", "KP_Enter"),  # focus on the first option box
            Click(*centre(TEXT_BOXES[0])), Key("Return", "KP_Enter", "Escape"),
            Click(*bar_up_arrow(1)), Key("Return", "Escape"),
            # Events are handled in order: once this click shows, the keys above were handled.
            click_box("chkDither"),
            Shot("still_open", Box("chkDither", True)),
            CloseThroughWindowManager(),
        ],
        expect_file=UNCHANGED, expect_status=0),
    Scenario(
        "alt_f4_closes_without_saving",
        config=NOT_NORMAL,
        steps=[click_box("chkKeepBodies"), Shot("edited", Box("chkKeepBodies", True)),
               CloseWithAltF4()],
        expect_file=UNCHANGED, expect_status=0),
]


# --- The message colour editor -------------------------------------------------------------

EDIT_START = with_colour(0, (255, 150, 200))

COLOURS = [
    Scenario(
        "edit_colour_by_drag_arrows_track_and_typing",
        config=cfg(colours=EDIT_START),
        steps=[
            Shot("loaded", *all_names_in(EDIT_START)),
            # Red: the thumb from the top (255) dragged past the bottom (0). The name keeps its
            # colour while the thumb moves and takes the new one only on release.
            MouseDown(*bar_thumb_at_top(0)), MouseMove(140, 170), MouseMove(140, 260),
            Shot("dragging", Differs("loaded", SCROLL_BARS[0], "thumb follows the pointer"),
                 name_in(0, (255, 150, 200)), Lacks(message_label(0), (0, 150, 200),
                                                    "no colour change before release")),
            MouseUp(),
            Shot("dropped", name_in(0, (0, 150, 200))),
            # Green: three steps down, one up.
            Click(*bar_down_arrow(1), times=3), Click(*bar_up_arrow(1)),
            Shot("arrows", name_in(0, (0, 148, 200))),
            # Blue: two clicks in the track below the thumb, one step each.
            Click(*bar_track_near_bottom(2), times=2),
            Shot("track", name_in(0, (0, 148, 198))),
            *retype(0, "77"),
            Shot("typed", name_in(0, (77, 148, 198))),
            # Typed past the top: the box stops at 255 as the digits come.
            *retype(1, "300"),
            Shot("clamped", name_in(0, (77, 255, 198))),
            OK,
        ],
        expect_file=cfg(colours=with_colour(0, (77, 255, 198), EDIT_START)), expect_status=0),
    Scenario(
        "switching_names_keeps_each_edited_colour",
        config=cfg(),
        steps=[
            click_name(1),
            *retype(0, "10"), *retype(1, "20"), *retype(2, "30"),
            Shot("targets", name_in(1, (10, 20, 30))),
            click_name(3),
            *retype(0, "40"), *retype(1, "50"), *retype(2, "60"),
            Shot("quests", name_in(3, (40, 50, 60)), name_in(1, (10, 20, 30))),
            # Back to Targets: its edited colour must come back into the bars, so one step up
            # on red gives 11, not one more than some other colour.
            click_name(1), Click(*bar_up_arrow(0)),
            Shot("targets_again", name_in(1, (11, 20, 30)), name_in(3, (40, 50, 60)),
                 name_in(0, DEFAULT_COLOURS[0]), Lacks(NAME_MARGIN, WHITE, "no mark for a mouse")),
            OK,
        ],
        expect_file=cfg(colours=with_colour(3, (40, 50, 60), with_colour(1, (11, 20, 30)))),
        expect_status=0),
    Scenario(
        # Without a mouse: Ctrl+Down and Ctrl+Up choose the type from wherever the focus is, and
        # the type left behind keeps the colour it was given.
        "keyboard_only_choose_types_edit_and_save",
        config=cfg(),
        steps=[
            Shot("loaded", name_in(0, DEFAULT_COLOURS[0]), Lacks(NAME_MARGIN, WHITE, "no mark")),
            Key("ctrl+Down", "ctrl+Down", "ctrl+Down"),  # from Full Screen to Quests
            Shot("quests", mark_beside(3), Lacks(name_margin(0, 3), WHITE, "mark moved on")),
            Key("Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab"),  # red bar
            Key("Down"),                                  # red 255 -> 254
            Key("Tab", "Down", "Down"),                   # green 96 -> 94
            Key("Tab", "Tab"), Type("40"),                # red box: 40
            Shot("quests_edited", name_in(3, (40, 94, 96))),
            Key("ctrl+Up"),                               # Your hits, focus still in the box
            Key("ctrl+a"), Type("7"),
            Shot("your_hits", mark_beside(2), name_in(2, (7, 255, 128)),
                 name_in(3, (40, 94, 96))),
            Key("Tab", "Tab", "Tab", "space"),            # OK
        ],
        expect_file=cfg(colours=with_colour(2, (7, 255, 128), with_colour(3, (40, 94, 96)))),
        expect_status=0),
]


# --- Display options and the keyboard -------------------------------------------------------

DEPTH_START = cfg(options=(0, 0, 0, 0, 1), depth=24)


def depth_shown(depth, wbuffer):
    return boxes(chk16bit=depth == 16, chk24bit=depth == 24, chk32bit=depth == 32,
                 chkWBuffer=wbuffer)


OPTIONS = [
    Scenario(
        "depth_boxes_act_as_one_choice_by_mouse_and_space",
        config=DEPTH_START,
        steps=[
            Shot("loaded", *depth_shown(24, True)),  # W-buffering as read, not as 24-bit says
            click_box("chk24bit"), Shot("again_24", *depth_shown(24, False)),
            click_box("chk16bit"), Shot("to_16", *depth_shown(16, True)),
            click_box("chkWBuffer"), Shot("wbuffer_by_hand", *depth_shown(16, False)),
            click_box("chk16bit"), Shot("again_16", *depth_shown(16, True)),
            click_box("chk32bit"), Shot("to_32", *depth_shown(32, False)),
            # The space bar on a focused depth box is a click too.
            Key("shift+Tab", "space"), Shot("space_24", *depth_shown(24, False)),
            click_box("chkWBuffer"), Shot("wbuffer_on", *depth_shown(24, True)),
            Key("shift+Tab", "shift+Tab", "shift+Tab", "space"),
            Shot("space_16", *depth_shown(16, True)),
            Key("space"), Shot("space_16_kept", *depth_shown(16, True)),
            OK,
        ],
        expect_file=cfg(options=(0, 0, 0, 0, 1), depth=16), expect_status=0),
    Scenario(
        # Focus starts on Full Screen. Every stop of the tab order leaves its own mark in the
        # file, so a stop too many (a label taking the focus) or too few shifts them all.
        "keyboard_only_walk_through_the_tab_order",
        config=cfg(colours=with_colour(0, (200, 100, 50))),
        steps=[
            Key("space"),                          # chkFullScreen on
            Key("Tab"),                            # chkDebug: left alone
            Key("Tab", "space"),                   # chkAntialias on
            Key("Tab"),                            # chkDither: left alone
            Key("Tab", "space"),                   # chk16bit: 16-bit, W-buffering on
            Key("Tab", "Tab"),                     # chk24bit, chk32bit: left alone
            Key("Tab", "space"),                   # chkWBuffer off again
            Key("Tab", "space"),                   # chkKeepBodies on
            Key("Tab", "Down", "Down"),            # scrColor(0): red 200 -> 198
            Key("Tab", "Up"),                      # scrColor(1): green 100 -> 101
            Key("Tab", "Down", "Down", "Down"),    # scrColor(2): blue 50 -> 47
            Key("Tab"), Type("42"),                # txtColor(0): all selected on entry
            Key("Tab"), Type("7"),                 # txtColor(1)
            Key("Tab"),                            # txtColor(2): left alone
            Key("Tab"),                            # cmdOK
            # Past the end the order starts again at Full Screen, with no name or picture in
            # between: the space must land on Full Screen and turn it off again.
            Key("Tab", "space"),
            Key("shift+Tab", "space"),             # back on cmdOK: save
        ],
        expect_file=cfg(options=(0, 0, 1, 0, 0), depth=16, keep=1,
                        colours=with_colour(0, (42, 7, 47))),
        expect_status=0),
    Scenario(
        # From Full Screen: it and Debug Info on, the third type, its blue bar 128 -> 130.
        "game_controller_alone_edits_and_saves",
        config=cfg(),
        steps=[
            Pad("a", "dpdown", "a", "rightshoulder", "rightshoulder", "dpdown", "dpdown", "dpleft",
                "dpup", "dpup"),
            # Neither saves nor closes; Y opens the colour check and Y again takes it away.
            Pad("b", "start", "back", "x", "y", "y"),
            Shot("by_pad", Box("chkFullScreen", True), Box("chkDebug", True)),
            # Back to Dithering, the way it came; 24-bit, W-Buffering, Keep, OK.
            Pad("dpright", "dpdown", "dpdown", "dpdown", "dpdown", "a"),
        ],
        expect_file=cfg(options=(1, 1, 0, 0, 0), colours=with_colour(2, (128, 255, 130))),
        expect_status=0, pad=True),
    # SDL opens what it is told to and waits there for ever; the window must not wait with it.
    Scenario("fifo_as_sdls_pad_device_leaves_the_window_answering", cfg(),
             [click_box("chkFullScreen"), OK], cfg(options=(1, 0, 0, 0, 0)), 0,
             env={"SDL_JOYSTICK_DEVICE": FIFO}),
    Scenario("fifo_as_pad_mappings_is_named_and_skipped", cfg(),
             [click_box("chkFullScreen"), OK], cfg(options=(1, 0, 0, 0, 0)), 0,
             env={"SDL_GAMECONTROLLERCONFIG_FILE": FIFO}, says="reads no controller mappings from"),
]


# --- Failures: the error box, no window, exit status 1, the old file kept ------------------

GOOD = cfg()
GOOD_LINES = GOOD.decode().split("\r\n")[:-1]

def refused(name, config, expect_file=UNCHANGED):
    """A file the program refuses: the error box, no window, exit status 1, the file as it was."""
    return Scenario(name, config, [ErrorBox()], expect_file, 1, shows_window=False)


ERRORS = [
    refused("missing_file_shows_error_and_no_window", None, ABSENT),
    refused("short_file_shows_error_and_no_window", cfg(lines=GOOD_LINES[:48])),
    refused("colour_above_255_shows_error_and_no_window", cfg(lines=[*GOOD_LINES[:20], 256, *GOOD_LINES[21:]])),
    refused("colour_rounding_to_256_shows_error_and_no_window", cfg(lines=GOOD_LINES[:48] + ["255.5"])),
    # A folder name that is not valid UTF-8 (an archive unpacked as Latin-1) is refused, never
    # taken for the working directory with its own bh.cfg and qt.conf.
    Scenario("latin1_folder_name_is_refused_not_the_working_directory", GOOD, [], UNCHANGED, 1, shows_window=False, folder=b"Jeux-\xe9"),
    Scenario(
        "folder_renamed_while_open_saves_there_not_where_its_name_went",
        config=NOT_NORMAL,
        steps=[click_box("chkFullScreen"), Shot("edited", Box("chkFullScreen", True)),
               LoseFolder(), OK],
        expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0),
    # Nothing to show the window on: one sentence, no abort and no core file.
    Scenario("no_display_says_so_and_exits_1", GOOD, [], UNCHANGED, 1, shows_window=False, env={"DISPLAY": "", "QT_QPA_PLATFORM": ""}, says="there is no X server or Wayland compositor to show it on"),
    Scenario("dead_x_display_says_so_and_exits_1", GOOD, [], UNCHANGED, 1, shows_window=False, env={"DISPLAY": ":4099", "QT_QPA_PLATFORM": ""}, says="no X server or Wayland compositor answers at DISPLAY (:4099)"),
    Scenario("unknown_platform_says_so_and_exits_1", GOOD, [], UNCHANGED, 1, shows_window=False, env={"QT_QPA_PLATFORM": "nowhere"}, says="the platform QT_QPA_PLATFORM names (nowhere) cannot show a window here"),
    Scenario("x_server_that_never_answers_ends_the_start", GOOD, [], UNCHANGED, 1, shows_window=False, compositor="silent-x", says="does not answer"),
]


# --- Twice the size -------------------------------------------------------------------------

SCALED = cfg(options=(0, 1, 0, 0, 0), depth=32, keep=1)

SCALE = [
    Scenario(
        "double_scale_keeps_layout_and_uses_sharp_pictures",
        config=SCALED, scale=2,
        steps=[
            Shot("loaded", *PANEL_LOOKS, *OPTION_FACES, *CAPTIONS_WHITE,
                 *all_names_in(DEFAULT_COLOURS),
                 *boxes(chkDebug=1, chk32bit=1, chk16bit=0, chkKeepBodies=1, chkWBuffer=0),
                 NotPixelDoubled(BACKDROP_ONLY, 0.05, "backdrop"),
                 NotPixelDoubled(PREVIEW_ABOVE_PANEL[0], 0.05, "debug preview")),
            CloseThroughWindowManager(),
        ],
        expect_file=UNCHANGED, expect_status=0),
]

# A compositor left over in WAYLAND_DISPLAY that never answers or hangs up at once: the window
# comes up through X11 and works.
_OK_SAVES = [click_box("chkFullScreen"), Shot("edited", Box("chkFullScreen", True)), OK]
DEAD_COMPOSITOR = [
    Scenario(f"{kind}_compositor_falls_back_to_x11", config=cfg(), steps=_OK_SAVES,
             expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0, compositor=kind)
    for kind in ("silent", "hangup", "full")] + [
    Scenario("unusable_scale_factor_is_ignored_with_a_line", config=cfg(), steps=_OK_SAVES,
             expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0,
             env={"QT_SCALE_FACTOR": "-1"}, says="ignores QT_SCALE_FACTOR=-1"),
    Scenario("no_runtime_folder_from_the_launcher_starts_without_a_word", config=cfg(),
             steps=_OK_SAVES, expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0,
             env={"XDG_RUNTIME_DIR": ""}, quiet=True)]

# Game Mode on the Deck's 1280 x 800 screen: the form at 5/3, as Qt draws it, where clicks land;
# without gamescope's mark, at its own size.
GAME_MODE = [
    Scenario("game_mode_draws_the_form_at_five_thirds_where_clicks_land", config=SCALED,
             scale=Fraction(5, 3), game_mode=True,
             steps=[Shot("loaded", *boxes(chkDebug=1, chk32bit=1)), DrawnAsQtScales("loaded"),
                    *_OK_SAVES], expect_file=cfg(options=(1, 1, 0, 0, 0), depth=32, keep=1),
             expect_status=0),
    Scenario("without_game_mode_the_form_keeps_its_size", config=cfg(), steps=_OK_SAVES,
             expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0)]
# A platform's scale is not applied twice; a 4:3 screen is filled from its corner (under Wine,
# a frame would push the form off it); a screen smaller than the form has its top left on it.
GAME_MODE += [
    dataclasses.replace(GAME_MODE[0], name="game_mode_on_a_192_dpi_screen_fits_it_all_the_same",
                        env={"QT_SCREEN_SCALE_FACTORS": "2"}),
    Scenario("game_mode_on_a_4_3_screen_fills_it_from_its_corner", config=cfg(),
             scale=Fraction(8, 5), game_mode=True, screen="1024x768x24",
             steps=[OnScreen(), *_OK_SAVES], expect_file=cfg(options=(1, 0, 0, 0, 0)),
             expect_status=0),
    Scenario("game_mode_on_a_640_by_400_screen_keeps_the_top_on_it", config=cfg(),
             game_mode=True, screen="640x400x24",
             steps=[OnScreen(whole=False), click_box("chkFullScreen"), OK],
             expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0)]

# What must hold on a Wayland desktop too: the state read on screen, closing through the
# compositor, the depth rule by clicks, a colour by drag and typing, the keyboard, OK.
_BY_NAME = {s.name: s for s in LOAD + FILES + COLOURS + OPTIONS}
WAYLAND = [_BY_NAME[name] for name in (
    "load_debug_on_then_hide_and_show_preview",
    "close_through_title_bar_after_edits_saves_nothing",
    "depth_boxes_act_as_one_choice_by_mouse_and_space",
    "edit_colour_by_drag_arrows_track_and_typing",
    "keyboard_only_walk_through_the_tab_order",
    "keyboard_only_choose_types_edit_and_save")] + [
    # Game Mode where DISPLAY names an X server that never answers: the window comes up on
    # Wayland without a scale of its own, after the X server's deadline.
    Scenario("game_mode_with_a_silent_x_server_starts_on_wayland", config=cfg(), steps=_OK_SAVES,
             expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0, game_mode=True,
             compositor="silent-x")]

# The title bar on a Wayland desktop that draws none for Wayland windows (GNOME, weston): there,
# moving it, a double click and the maximise place must leave the program running and saving,
# and its close button must close without saving.
TITLE_BAR = [
    Scenario(
        "title_bar_moves_and_outlives_double_click_and_maximise_then_ok_saves",
        config=cfg(),
        steps=[FixedFrame(), TitleBar(), DragTitleBar(60, 40), DoubleClickTitleBar(),
               ClickTitleBarButton("maximise"),
               click_box("chkFullScreen"), Shot("edited", Box("chkFullScreen", True)), OK],
        expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0),
    Scenario(
        "title_bar_close_button_saves_nothing",
        config=NOT_NORMAL,
        steps=[TitleBar(), click_box("chkFullScreen"), Shot("edited", Box("chkFullScreen", True)),
               ClickTitleBarButton("close")],
        expect_file=UNCHANGED, expect_status=0),
]
# KDE Plasma: KWin puts Breeze's bar over the client area, with the caption, minimise and close,
# and no maximise for a window of fixed size; a double click on the bar, which maximises there,
# must leave the window as it is. Full screen, toggled as KWin's window menu does: a click lands
# on the control drawn under it, and after it the window is back at its size, where clicks land
# too.
KWIN = [
    Scenario(
        "title_bar_moves_and_offers_no_maximise_then_ok_saves",
        config=cfg(),
        steps=[FixedFrame(), TitleBar(), DragTitleBar(60, 40), DoubleClickTitleBar(stays=True),
               click_box("chkFullScreen"), Shot("edited", Box("chkFullScreen", True)), OK],
        expect_file=cfg(options=(1, 0, 0, 0, 0)), expect_status=0),
    TITLE_BAR[1],  # title_bar_close_button_saves_nothing
    Scenario(
        "full_screen_on_and_off_keeps_clicks_on_the_controls_then_ok_saves",
        config=cfg(),
        steps=[Shot("windowed", Box("chkDebug", False)), FullScreen(True), click_box("chkDebug"),
               Shot("full", Box("chkDebug", True), Differs("windowed", DEBUG_PREVIEW, "preview")),
               FullScreen(False), click_box("chkAntialias"),
               Shot("back", Box("chkAntialias", True), Same("full", PANEL, "panel as before")), OK],
        expect_file=cfg(options=(0, 1, 1, 0, 0)), expect_status=0),
]

# What must hold for the Windows build under Wine: the state read on screen and the frame, the
# depth rule, a colour by the bars and by typing, OK writing the CR LF file, closing without OK,
# and the error box for a missing file.
_LOADED = _BY_NAME["load_debug_on_then_hide_and_show_preview"]
WINE = [
    dataclasses.replace(_LOADED, steps=[FixedFrame(), *_LOADED.steps]),
    *(_BY_NAME[name] for name in (
        "depth_boxes_act_as_one_choice_by_mouse_and_space",
        "edit_colour_by_drag_arrows_track_and_typing",
        "ok_untouched_writes_normal_form",
        "close_through_title_bar_after_edits_saves_nothing")),
    ERRORS[0],  # missing_file_shows_error_and_no_window
]

GROUPS = {
    "load": LOAD,
    "files": FILES,
    "colours": COLOURS,
    "options": OPTIONS,
    "errors": ERRORS + DEAD_COMPOSITOR,
    "scale": SCALE,
    "wayland": WAYLAND,
    "titlebar": TITLE_BAR,
    "kwin": KWIN,
    "wine": WINE,
    "gamescope": GAME_MODE,
}
# Screens big enough for the window and its frame at the group's scale.
SCREENS = {"scale": "1600x1200x24", "gamescope": "1280x800x24"}
