# Hooks for the package's own tests; not a public interface.
from ._ktfolio import _testing as _hooks

globals().update({name: getattr(_hooks, name) for name in dir(_hooks) if not name.startswith("_")})
