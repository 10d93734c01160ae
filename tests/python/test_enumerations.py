import ktfolio


def test_members_are_module_constants_with_their_values():
    expected = {"ppLeftCenter": 4, "s_A4": 9, "Body": 0, "Header": 1, "Footer": 2, "eTwip": 1, "eInch": 5,
                "eMillimetre": 6, "eCentimetre": 7, "s_USER": 256, "s_A3_EXTRA_TRANSVERSE": 68, "ppOutLineFull": 15,
                "ppLineTopBottom": 12, "ppEDGE_ETCHED": 6, "ppBF_MONO": -32768, "ppDFCS_MONO": -32768,
                "ppDFCS_ADJUSTRECT": 8192, "cr_16M_Colors": 24, "sPS_STYLE_MASK": 15, "ppEnterAddCRLF": 3,
                "ppFontInsetHeavy": 4, "First": 0, "Last": 1, "Manual": 0, "Uniform": 1}
    assert {name: getattr(ktfolio, name) for name in expected} == expected


def test_every_listed_member_is_a_constant_and_types_taken_by_no_member_are_published_too():
    for members in ktfolio.enumerations.values():
        for name, value in members.items():
            assert getattr(ktfolio, name) == value, name
    assert len(ktfolio.enumerations["ppPositionConstants"]) == 12
    assert len(ktfolio.enumerations["ppOutLineConstants"]) == 15
    assert ktfolio.enumerations["ctsPrinterAlign"] == {"eLeft": 0, "eCentre": 1, "eRight": 2, "eJustify": 3}
    assert ktfolio.enumerations["ctsPrinterChar"] == {"eNone": 0, "eSpace": 1, "eDash": 2, "eLine": 3, "eOops": 4}
