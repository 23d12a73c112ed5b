#!/usr/bin/env python3
"""The include order's rule, on small trees, and the repository's src/ against it."""
import unittest

import check_includes


def check(path, header, others=()):
    files = {path: f'#include "{header}"\n', **{other: "" for other in others}}
    found, _ = check_includes.problems(files)
    return found


class CheckIncludes(unittest.TestCase):
    def test_rows(self):
        up = "points up the order"
        rows = [
            # (including file, included header, files beside it, wanted problem or None)
            ("host/win/bubble_saver.cpp", "host/startup_rules.h", (), None),
            ("host/win/bubble_saver.cpp", "gdiplus/scene/win/scene_driver.h", (), None),
            ("host/win/bubble_saver.cpp", "drivers/win/driver_table.h", (), None),
            ("directdraw/win/scene_driver.h", "drivers/win/driver_table.h", (), None),
            ("settings/dialog/win/run.h", "drivers/win/driver_table.h", (), None),
            ("gdiplus/scene/win/UMain.cpp", "gdiplus/win/pictures.h", (), None),
            ("settings/settings.h", "world/bubble_table.h", (), None),
            ("world/motion.cpp", "settings/settings.h", (), None),
            ("world/win/wind_platform.h", "framework/win/timer.h", (), None),
            ("settings/dialog/dialog_core.h", "vesperine_version.h", (), None),
            ("world/motion.cpp", "motion.h", ("world/motion.h",), None),
            ("framework/win/wind_platform.h", "world/wind.h", (),
             "src/framework/win/wind_platform.h:1: framework -> world"),
            ("directdraw/win/scene_driver.h", "host/win/drivers.h", (), "directdraw -> host"),
            ("drivers/win/driver_table.h", "host/win/bubble_saver.h", (), "drivers -> host"),
            ("drivers/win/driver_table.h", "directdraw/win/scene_driver.h", (),
             "drivers -> directdraw"),
            ("display/win/dxdraw.h", "drivers/win/driver_table.h", (), "display -> drivers"),
            ("gdiplus/win/preview.cpp", "gdiplus/scene/win/UMain.h", (),
             "gdiplus -> gdiplus/scene"),
            ("directdraw/win/UDxBall.cpp", "gdiplus/scene/win/UMain.h", (),
             "directdraw -> gdiplus/scene"),
            ("display/win/dxdraw.cpp", "gdiplus/win/pictures.h", (), "display -> gdiplus"),
            ("image/png.cpp", "framework/string_list.h", (), "image -> framework"),
            ("framework/form.cpp", "motion.h", ("world/motion.h",), "no room"),
            ("newroom/thing.cpp", "image/picture.h", (), "has no rank"),
        ]
        for path, header, others, wanted in rows:
            with self.subTest(f"{path} includes {header}"):
                found = check(path, header, others)
                if wanted is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertIn(wanted, found[0])
                    if "->" in wanted:
                        self.assertIn(up, found[0])

    def test_windows_stays_in_win_rooms(self):
        windows, room = "is a Windows header outside a win/ room", "is of a win/ room"
        rows = [
            # (file, its include line, wanted problem or None)
            ("display/win/dxdraw.h", "#include <ddraw.h>", None),
            ("gdiplus/scene/win/UMain.h", "#include <windows.h>", None),
            ("settings/dialog/win/ballpara.cpp", "#  include <commctrl.h>", None),
            ("world/win/wind_platform.h", '#include "framework/win/timer.h"', None),
            ("image/picture_file.cpp", "#include <sys/stat.h>", None),
            ("image/png_decoder.cpp", "#include <png.h>", None),
            ("settings/native/system_store.cpp", '#include "settings/settings.h"', None),
            ("display/dxdraw.h", "#include <d3d.h>", windows),
            ("host/main.cpp", "#include <Windows.h>", windows),
            ("gdiplus/tint.h", "#include <gdiplus.h>", windows),
            ("gdiplus/tint.h", "#include <gdiplus/gdiplusflat.h>", windows),
            ("world/windbell.cpp", "#include <mmsystem.h>", windows),
            ("settings/dialog/dialog_core.cpp", "#include <commdlg.h>", windows),
            ("framework/display_scale.cpp", "#include <dwmapi.h>", windows),
            ("framework/winter/a.cpp", "#include <shellapi.h>", windows),
            ("settings/native/system_store.cpp", "#include <winreg.h>", windows),
            ("world/motion.cpp", '#include "framework/win/timer.h"', room),
            ("host/startup_rules.h", '#include "host/win/screen_saver.h"', room),
        ]
        for path, line, wanted in rows:
            with self.subTest(f"{path}: {line}"):
                found, _ = check_includes.problems({path: line + "\n"})
                if wanted is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertIn(f"src/{path}:1:", found[0])
                    self.assertIn(wanted, found[0])

    def test_only_include_lines_count(self):
        text = ('// #include "host/drivers.h" in a comment\n'
                '  #  include "world/wind.h"\n'
                '#include <windows.h>\n')
        found, count = check_includes.problems({"framework/win/a.h": text})
        self.assertEqual(count, 1)
        self.assertEqual(len(found), 1)
        self.assertIn("src/framework/win/a.h:2: framework -> world", found[0])

    def test_the_repository_follows_the_order(self):
        files = check_includes.read_sources(check_includes.SRC)
        self.assertIn("host/win/bubble_saver.cpp", files)
        found, count = check_includes.problems(files)
        self.assertEqual(found, [])
        self.assertGreater(count, 100)


if __name__ == "__main__":
    unittest.main()
