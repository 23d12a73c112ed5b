import unittest

import notices

TABLE = (
    "# pattern\tlibrary\tnotices\n"
    "libvesperine_*.a\t-\t-\n"
    "libz.a\tzlib\t$DOC/z\n"
    "libwebp*.a\tlibwebp\t$CACHE/webp/COPYING\n"
    "lib*32.a\tMinGW-w64\t$DOC/m\n"
    "crt2.o\tMinGW-w64\t$DOC/m\n"
)

MAP = """Archive member included to satisfy reference by file (symbol)
/usr/lib/libz.a(deflate.o)  x.o (deflate)
LOAD /usr/lib/crt2.o
LOAD src/host/libvesperine_host.a
LOAD /cache/lib/libwebp.a
LOAD /cache/lib/libwebpdemux.a
LOAD /usr/lib/libkernel32.a
LOAD dll stuff
LOAD /usr/lib/libz.a
"""


class Notices(unittest.TestCase):
    def test_each_input_finds_its_library_once_in_table_order(self):
        libraries, unmatched = notices.assign(notices.loaded_inputs(MAP), notices.read_table(TABLE))
        self.assertEqual(unmatched, [])
        self.assertEqual(list(libraries), ["zlib", "libwebp", "MinGW-w64"])
        self.assertEqual(libraries["libwebp"], ["$CACHE/webp/COPYING"])

    def test_an_input_without_a_row_is_reported(self):
        cases = [
            ("LOAD /x/libnew.a\n", ["libnew.a"]),
            ("LOAD /x/libz.a\nLOAD /x/libgcc.a\nLOAD /x/foo.o\n", ["libgcc.a", "foo.o"]),
            ("LOAD dll stuff\n", []),
        ]
        for map_text, expected in cases:
            with self.subTest(map_text=map_text):
                _, unmatched = notices.assign(notices.loaded_inputs(map_text),
                                              notices.read_table(TABLE))
                self.assertEqual(unmatched, expected)

    def test_the_text_carries_each_licence_under_its_library(self):
        texts = {"/c/webp/COPYING": "webp licence", "/d/z": "zlib licence"}
        text = notices.render({"zlib": ["$DOC/z"], "libwebp": ["$CACHE/webp/COPYING"]},
                              {"CACHE": "/c", "DOC": "/d"}, read=texts.__getitem__)
        self.assertLess(text.index("zlib\n"), text.index("zlib licence"))
        self.assertLess(text.index("zlib licence"), text.index("libwebp\n"))
        self.assertIn("webp licence", text)


if __name__ == "__main__":
    unittest.main()
