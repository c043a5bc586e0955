# Outside libraries the engine links. Each reader that needs one adds it here.
