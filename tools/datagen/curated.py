"""The hand-made parts of the mixed word library: what is left out and what is added by hand."""

# Function words: articles, pronouns, prepositions, conjunctions, auxiliaries and particles.
# A meaning for them would be a grammar note, not a word the quiz can offer.
FUNCTION_WORDS = set("""
a an the this that these those some any each every either neither no none all both half
i me my mine myself you your yours yourself yourselves he him his himself she her hers herself
it its itself we us our ours ourselves they them their theirs themselves one ones oneself
who whom whose which what whatever whoever whichever whenever wherever however
am is are was were be been being do does did done doing have has had having
will would shall should can could may might must ought need dare
and or but nor so yet for if then than because though although unless whether while whereas
as since till until once
of in on at to from by with without within into onto upon about above below over under
across along among amongst around behind beyond beside besides between through throughout
toward towards against despite during except inside outside per via plus unto
up down off out there here where when why how not too also very just only
oh ah um uh hmm yeah yep nope okay ok hey hi ha huh eh wow
etc ie eg vs mr mrs ms dr st jr sr
s t d ll m re ve don didn doesn isn aren wasn weren haven hasn hadn won wouldn shouldn couldn
ain gonna wanna gotta lemme
""".split())

# Words the library never carries, whatever the dictionary says: slurs, vulgar words and words
# whose only short meaning is offensive.
BLOCKED_WORDS = set("""
fuck fucking fucked fucker shit shitty crap damn damned goddamn bitch bastard ass asshole
dick cock pussy cunt whore slut fag faggot nigger nigga retard retarded twat wank wanker
bollocks bugger piss pissed prick tits boobs dyke homo tranny spic chink gook kike wop
negro jap paki porn porno rape rapist sexy horny penis vagina anus
""".split())

# Confident words added by hand for the letters the ranking leaves thin. The word-chain game
# needs every initial letter.
HAND_WORDS = [
    ("x-ray", "X光"),
    ("xerox", "复印"),
    ("xylophone", "木琴"),
    ("xenophobia", "仇外心理"),
    ("xenon", "氙"),
    ("xylem", "木质部"),
    ("xmas", "圣诞节"),
    ("xanthic", "黄色的"),
    ("xerography", "静电复印术"),
    ("xiphoid", "剑状的"),
    ("zebra", "斑马"),
    ("zero", "零"),
    ("zoo", "动物园"),
    ("zone", "区域"),
    ("zip", "拉链"),
    ("zinc", "锌"),
    ("zeal", "热情"),
    ("zenith", "顶点"),
    ("zigzag", "之字形"),
    ("zoom", "变焦"),
    ("zodiac", "黄道带"),
    ("zucchini", "西葫芦"),
]

# A meaning chosen by hand where the automatic pick is a fair but odd choice for a learner.
MEANING_OVERRIDES = {
    "little": "小，一点", "nothing": "没有东西", "give": "给", "rock": "岩石，摇滚",
    "note": "笔记，便条", "soon": "不久，很快", "third": "第三", "fourth": "第四",
    "fifth": "第五", "sixth": "第六", "seventh": "第七", "eighth": "第八", "ninth": "第九",
    "tenth": "第十", "ready": "准备好的", "phone": "电话", "completely": "完全",
    "available": "可用的", "person": "人", "hot": "热", "exactly": "正是，确切地",
    "idea": "主意，想法", "nice": "好，美好", "club": "俱乐部", "press": "按，压",
    "round": "圆的，一轮", "running": "跑步", "medical": "医学的", "body": "身体",
    "light": "光，轻", "close": "关，近", "ask": "问，请求", "hard": "硬，困难",
    "stay": "停留，待", "band": "乐队", "cover": "覆盖，封面", "subject": "主题，科目",
    "check": "检查", "watch": "看，手表", "most": "最，大多数", "own": "自己的",
    "great": "伟大的，很好的", "number": "数字，号码", "point": "点，要点", "bit": "一点",
    "human": "人类", "field": "田野，领域", "seem": "似乎，好像", "original": "原来的",
    "result": "结果", "space": "空间", "example": "例子", "period": "时期",
    "size": "大小，尺寸", "sort": "种类", "comment": "评论", "site": "地点，网站",
    "piece": "块，片", "account": "账户", "post": "帖子，职位", "notice": "注意，通知",
    "complete": "完成，完整的", "simply": "简单地，只是", "judge": "法官，判断",
    "back": "后面，背部", "right": "正确，右边", "team": "队，团队", "day": "天，日子",
    "home": "家", "say": "说", "part": "部分", "show": "表演，显示", "state": "国家，状态",
    "head": "头，首脑", "different": "不同的", "line": "线，行", "set": "放置，一套",
    "move": "移动", "call": "叫，打电话", "lot": "许多", "list": "列表，清单",
    "run": "跑", "money": "钱", "area": "地区，面积", "close": "关，近", "fine": "好的，罚款",
    "care": "关心，照顾", "note": "笔记，便条", "age": "年龄，时代", "full": "满的",
    "several": "几个", "body": "身体", "mind": "头脑，介意", "able": "能够的",
    "true": "真的", "hit": "打，击中", "present": "礼物，现在的", "turn": "转动，轮流",
    "hold": "拿着，举行", "main": "主要的", "local": "当地的", "deal": "交易，处理",
    "lead": "领导，带领", "act": "行为，表演", "form": "形式，表格", "cut": "切，剪",
    "pay": "付钱", "total": "总的，总数", "usually": "通常", "finally": "最后，终于",
    "fall": "落下，秋天", "stand": "站", "break": "打破，休息", "figure": "数字，人物",
    "earth": "地球", "sun": "太阳", "available": "可用的", "hotel": "旅馆，饭店",
    "process": "过程", "nice": "好，美好", "interest": "兴趣，利息", "drive": "开车，驱动",
    "wish": "希望，愿望", "summer": "夏天", "month": "月", "medical": "医学的",
    "moment": "片刻，时刻", "ahead": "在前面", "block": "街区，阻止", "post": "帖子，职位",
    "grand": "宏伟的", "ship": "船", "study": "学习，研究", "master": "主人，大师",
    "data": "数据", "track": "轨道，追踪", "light": "光，轻", "social": "社会的",
    "political": "政治的", "national": "国家的", "personal": "个人的", "official": "官方的，官员",
    "military": "军事的", "public": "公共的，公众", "private": "私人的", "common": "普通的，共同的",
    "young": "年轻的", "strong": "强壮的，强烈的", "special": "特别的", "free": "自由的，免费的",
}
