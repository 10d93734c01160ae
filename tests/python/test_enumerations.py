import ktfolio


def test_members_are_module_constants_with_their_values():
    assert (ktfolio.ppLeftCenter, ktfolio.s_A4, ktfolio.Body) == (4, 9, 0)
    assert (ktfolio.Header, ktfolio.Footer) == (1, 2)
    assert (ktfolio.eTwip, ktfolio.eInch, ktfolio.eMillimetre, ktfolio.eCentimetre) == (1, 5, 6, 7)
    assert ktfolio.s_USER == 256 and ktfolio.s_A3_EXTRA_TRANSVERSE == 68
    assert ktfolio.ppOutLineFull == 15 and ktfolio.ppLineTopBottom == 12
    assert ktfolio.ppEDGE_ETCHED == 6 and ktfolio.ppBF_MONO == -32768
    assert ktfolio.ppDFCS_MONO == -32768 and ktfolio.ppDFCS_ADJUSTRECT == 8192
    assert ktfolio.cr_16M_Colors == 24 and ktfolio.sPS_STYLE_MASK == 15
    assert ktfolio.ppEnterAddCRLF == 3 and ktfolio.ppFontInsetHeavy == 4
    assert (ktfolio.First, ktfolio.Last, ktfolio.Manual, ktfolio.Uniform) == (0, 1, 0, 1)


def test_types_taken_by_no_member_are_published_too():
    assert ktfolio.enumerations["ctsPrinterAlign"] == {"eLeft": 0, "eCentre": 1, "eRight": 2, "eJustify": 3}
    assert ktfolio.enumerations["ctsPrinterChar"] == {"eNone": 0, "eSpace": 1, "eDash": 2, "eLine": 3, "eOops": 4}


def test_every_listed_member_is_a_constant():
    for members in ktfolio.enumerations.values():
        for name, value in members.items():
            assert getattr(ktfolio, name) == value, name
    assert len(ktfolio.enumerations["ppPositionConstants"]) == 12
    assert len(ktfolio.enumerations["ppOutLineConstants"]) == 15
