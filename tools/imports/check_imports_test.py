#!/usr/bin/env python3
"""The import check's reading of objdump and of its table, on small samples."""
import pathlib
import unittest

import check_imports

OBJDUMP = """
MajorOSystemVersion\t4
MinorOSystemVersion\t0
MajorSubsystemVersion\t{subsystem}
MinorSubsystemVersion\t0
The Import Tables (interpreted .idata section contents)
\tDLL Name: KERNEL32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t24bab4\t 1569  GetTickCount
\t24bac2\t 1577  {extra}
\tDLL Name: msvcrt.dll
\t24bad4\t   10  malloc
"""
TABLE = ("claim\t5.1\tWindows XP\n"
         "KERNEL32.dll\tGetTickCount\t5.0\tsource a\n"
         "KERNEL32.dll\tGetTickCount64\t6.0\tsource b\n"
         "KERNEL32.dll\tGetVersionExA\t5.0\tsource c\n"
         "msvcrt.dll\tmalloc\t-\tundocumented\n")
README = "Vesperine starts on Windows XP."


class CheckImports(unittest.TestCase):
    def check(self, extra="GetVersionExA", subsystem=4, readme=README):
        found, _, _ = check_imports.problems(OBJDUMP.format(extra=extra, subsystem=subsystem),
                                             TABLE, readme)
        return found

    def test_rows(self):
        rows = [
            ("all imports within the claim", {}, []),
            ("an import newer than the claim", {"extra": "GetTickCount64"}, ["GetTickCount64 needs 6.0"]),
            ("an import not in the table", {"extra": "CreateThreadpool"}, ["not in the table"]),
            ("a header newer than the claim", {"subsystem": 6}, ["Subsystem version 6.0"]),
            ("a README that does not state it", {"readme": "starts on Windows 95"}, ["README"]),
        ]
        for name, arguments, wanted in rows:
            with self.subTest(name):
                found = self.check(**arguments)
                self.assertEqual(len(found), len(wanted), found)
                for problem, text in zip(found, wanted):
                    self.assertIn(text, problem)

    def test_nothing_read_is_a_failure(self):
        found, _, _ = check_imports.problems("", TABLE, README)
        self.assertTrue(any("no imports" in problem for problem in found))

    def test_the_repository_table_is_well_formed(self):
        claim, name, minimums = check_imports.read_table(check_imports.TABLE.read_text())
        self.assertEqual(claim, (5, 1))
        self.assertEqual(name, "Windows XP")
        self.assertTrue(all(source for _, source in minimums.values()))
        self.assertIn(f"starts on {name}", check_imports.README.read_text())


if __name__ == "__main__":
    unittest.main()
