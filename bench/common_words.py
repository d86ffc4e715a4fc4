"""Common words of 6 to 9 letters, roughly the commonest first, as a watcher guessing a word
password would try them."""

WORDS = """
people little number should through before because between example company problem service
against another country picture without children student morning evening together question
interest business possible program language computer history thought nothing something everyone
remember continue however yourself himself herself already perhaps several certain general special
teacher brother sister mother father family friend garden window kitchen bedroom summer winter
spring autumn monday tuesday thursday friday saturday sunday january february october november
december august orange yellow purple silver golden banana cherry chicken dragon monkey rabbit
turtle dolphin penguin falcon panther football baseball soccer hockey tennis guitar master
shadow sunshine freedom welcome letmein princess charlie michael jordan thomas robert andrew
daniel joshua jessica ashley amanda matthew richard william taylor hunter ranger killer buster
pepper ginger cookie butter secret flower forever starwars batman superman lovely hello123
coffee castle planet rocket forest island beach ocean mountain river valley desert winter1
bridge street market office school college library museum theatre church station airport
hospital doctor nurse police soldier captain pirate knight wizard prince queen angel devil
spirit heaven thunder storm lightning rainbow diamond crystal emerald marble copper bronze
button pencil paper letter record camera mirror bottle basket pocket blanket pillow carpet
jacket sweater trouser slipper leather cotton wooden plastic window1 number1 simple better
strong bright purple1 happy sunny cloudy breeze cinnamon vanilla caramel chocolate pumpkin
potato tomato carrot onion garlic pepper1 cabbage lettuce pickle muffin biscuit pancake waffle
cheese yogurt sausage bacon burger sandwich noodle spaghetti lasagna pizza1 dinner supper
holiday weekend birthday wedding party1 festival concert dancing singing reading writing
drawing painting running jumping walking talking playing working sleeping dreaming thinking
learning teaching driving cooking cleaning shopping fishing hunting camping sailing flying
animal kitten puppy1 horses donkey giraffe zebra1 elephant buffalo leopard jaguar cobra1
spider beetle butterfly hornet lizard parrot pigeon sparrow swallow canary robin1 magpie
""".split()

WORDS = list(dict.fromkeys(w for w in WORDS if w.isalpha() and 6 <= len(w) <= 9))
assert len(WORDS) >= 200, len(WORDS)
