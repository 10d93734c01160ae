"""Finding a form's child windows by member name, and clicking them, as the tests of forms do."""


def child(form, name):
    for c in form.controls():
        if c["name"] == name:
            return c
    raise AssertionError(f"no child named {name}")


def click(form, name):
    x, y, w, h = child(form, name)["rect"]
    form.click(x + w // 2, y + h // 2)
